#include "viewer/value_viewer.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

#include "json/text_matcher.h"
#include "viewer/clipboard.h"
#include "viewer/message_box.h"
#include "viewer/pretty_text_view.h"
#include "viewer/program_text.h"

namespace keelnode {
namespace {

template <typename Control, typename... Args>
Control* Make(const char* name, QWidget* parent, Args&&... args) {
  auto* control = new Control(std::forward<Args>(args)..., parent);
  control->setObjectName(QString::fromUtf8(name));
  return control;
}

QAction* AddAction(QWidget* owner, QMenu* menu, const char* caption, const QKeySequence& keys) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  owner->addAction(action);  // the keys work while the menu is closed
  return action;
}

}  // namespace

ValueViewer::ValueViewer(std::string value, const FindOptions& find, QWidget* parent)
    : QWidget(parent, Qt::Window), value_(std::make_shared<const std::string>(std::move(value))) {
  setObjectName(QStringLiteral("值查看器"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("值查看器"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  buildFindBar(find);
  view_ = Make<PrettyTextView>("查看器文本", this);
  status_ = Make<QLabel>("查看器状态", this, QStringLiteral("正在格式化……"));
  status_->setContentsMargins(6, 2, 6, 2);
  buildMenu();
  layout->addWidget(findBar_);
  layout->addWidget(view_, 1);
  layout->addWidget(status_);
  resize(760, 620);

  auto result = std::make_shared<PrettyText>();
  worker_.reset(QThread::create([value = value_, result] { *result = prettyPrint(*value); }));
  connect(worker_.get(), &QThread::finished, this, [this, result] { showPretty(result); });
  worker_->start();
}

ValueViewer::~ValueViewer() {
  worker_->wait();
}

void ValueViewer::buildMenu() {
  auto* bar = new QMenuBar(this);
  menu_ = bar->addMenu(QStringLiteral("查看"));
  menu_->setObjectName(QStringLiteral("查看器菜单"));
  connect(AddAction(this, menu_, "查找", QKeySequence::Find), &QAction::triggered, this, [this] {
    findBar_->show();
    findText_->setFocus();
    findText_->selectAll();
  });
  connect(AddAction(this, menu_, "查找下一个", QKeySequence::FindNext), &QAction::triggered, this,
          [this] { findNext(false); });
  connect(AddAction(this, menu_, "查找上一个", QKeySequence::FindPrevious), &QAction::triggered,
          this, [this] { findNext(true); });
  menu_->addSeparator();
  wrap_ = AddAction(this, menu_, "自动换行", QKeySequence(Qt::ALT | Qt::Key_Z));
  wrap_->setCheckable(true);
  connect(wrap_, &QAction::toggled, view_, &PrettyTextView::setWordWrap);
  menu_->addSeparator();
  connect(AddAction(this, menu_, "复制格式化文本", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)),
          &QAction::triggered, this, [this] { copyPretty(); });
  connect(AddAction(this, menu_, "复制压缩文本", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C)),
          &QAction::triggered, this, [this] { copyMinified(); });
  menu_->addSeparator();
  connect(AddAction(this, menu_, "关闭", QKeySequence(Qt::Key_Escape)), &QAction::triggered, this,
          &QWidget::close);
  static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
  connect(view_, &PrettyTextView::menuRequested, this,
          [this](const QPoint& at) { menu_->popup(at); });
}

void ValueViewer::buildFindBar(const FindOptions& find) {
  findBar_ = Make<QWidget>("查看器查找栏", this);
  auto* row = new QHBoxLayout(findBar_);
  row->setContentsMargins(6, 4, 6, 4);
  findText_ = Make<QLineEdit>("查看器查找文本", findBar_);
  findText_->setText(find.text);
  findText_->setPlaceholderText(QStringLiteral("要在值中查找的文本"));
  auto* next = Make<QPushButton>("查看器下一个", findBar_, QStringLiteral("下一个"));
  auto* previous = Make<QPushButton>("查看器上一个", findBar_, QStringLiteral("上一个"));
  plainMode_ = Make<QRadioButton>("查看器默认", findBar_, QStringLiteral("默认"));
  wildcardMode_ = Make<QRadioButton>("查看器通配", findBar_, QStringLiteral("通配"));
  patternMode_ = Make<QRadioButton>("查看器正则", findBar_, QStringLiteral("正则"));
  ignoreCase_ = Make<QCheckBox>("查看器忽略大小写", findBar_, QStringLiteral("忽略大小写"));
  findStatus_ = Make<QLabel>("查看器查找结果", findBar_);
  switch (find.mode) {
    case FindMode::Plain:
      plainMode_->setChecked(true);
      break;
    case FindMode::Wildcard:
      wildcardMode_->setChecked(true);
      break;
    case FindMode::Pattern:
      patternMode_->setChecked(true);
      break;
  }
  ignoreCase_->setChecked(find.ignoreCase);
  row->addWidget(findText_, 1);
  for (QWidget* control : std::initializer_list<QWidget*>{next, previous, plainMode_, wildcardMode_,
                                                          patternMode_, ignoreCase_, findStatus_})
    row->addWidget(control);
  connect(findText_, &QLineEdit::returnPressed, this, [this] { findNext(false); });
  connect(next, &QPushButton::clicked, this, [this] { findNext(false); });
  connect(previous, &QPushButton::clicked, this, [this] { findNext(true); });
  findBar_->hide();
}

void ValueViewer::showPretty(std::shared_ptr<const PrettyText> pretty) {
  pretty_ = std::move(pretty);
  // Minifying the pretty text gives what minifying the value gives, so the
  // value itself is no longer needed.
  value_.reset();
  view_->setText(pretty_);
  status_->setText(
      QStringLiteral("共 %1 行，%2 字节").arg(view_->lineCount()).arg(pretty_->text.size()));
  emit ready();
}

FindOptions ValueViewer::findOptions() const {
  FindOptions options{.text = findText_->text(), .ignoreCase = ignoreCase_->isChecked()};
  if (wildcardMode_->isChecked()) options.mode = FindMode::Wildcard;
  if (patternMode_->isChecked()) options.mode = FindMode::Pattern;
  return options;
}

bool ValueViewer::findNext(bool backward) {
  if (!pretty_) return false;
  const FindOptions options = findOptions();
  const std::string text = FromQString(options.text);
  const bool patternMode = options.mode != FindMode::Plain;
  findStatus_->clear();
  // As in the tree search, a plain search for nothing finds nothing.
  if (!patternMode && text.empty()) return false;
  TextMatcher matcher(text, options.ignoreCase, false, patternMode,
                      options.mode == FindMode::Wildcard);
  const int count = view_->lineCount();
  const int from = view_->markedLine() >= 0
                       ? view_->markedLine()
                       : (backward ? view_->firstLine() : view_->firstLine() - 1);
  for (int step = 1; step <= count; ++step) {
    const int line = ((backward ? from - step : from + step) % count + count) % count;
    const Result<bool, RegexError> passed = matcher.Test(view_->line(line));
    if (!passed) {
      findStatus_->setText(QString::fromUtf8(kRunawaySearchMessage));
      return false;
    }
    if (*passed) {
      view_->markLine(line);
      findStatus_->setText(QStringLiteral("第 %1 行").arg(line + 1));
      return true;
    }
  }
  findStatus_->setText(QStringLiteral("找不到"));
  return false;
}

void ValueViewer::copyPretty() const {
  if (pretty_) SetClipboardText(pretty_->text);
}

void ValueViewer::copyMinified() const {
  if (pretty_) SetClipboardText(minify(pretty_->text));
}

}  // namespace keelnode
