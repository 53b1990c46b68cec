#include "viewer/text_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <utility>

#include "services/code_page.h"
#include "viewer/clipboard.h"
#include "viewer/fonts.h"
#include "viewer/message_box.h"
#include "viewer/program_text.h"
#include "viewer/text_box.h"

namespace keelnode {
namespace {

constexpr char kImportFilter[] = "文本文本|*.txt;*.text;*.ini;*.htn;*.html|全部文件|*.*";

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent, QRect geometry) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromUtf8(name));
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

QStringList ChooseWithSystemDialog(QWidget* parent, const QString& title, const QString& filter) {
  return QFileDialog::getOpenFileNames(parent, title, QString(), filter);
}

}  // namespace

TextDialogParams MakeTextDialogParams(std::string_view content, DialogMode mode,
                                      TextDialogOptions options) {
  const bool input = mode == DialogMode::kInput;
  TextDialogParams params;
  if (options.prompt) {
    params.prompt = !options.prompt->empty() ? std::move(*options.prompt)
                    : input                  ? ProgramText("请输入数据：")
                                             : ProgramText("以下为信息详情：");
  }
  params.title = options.title.empty() ? ProgramText("岚溪：") : std::move(options.title);
  params.initial = std::string(content);
  params.infoMode = !input;
  params.contentStyle = options.contentStyle;
  params.maximize = options.maximize;
  params.width = options.width;
  params.height = options.height;
  params.bothScrollBars = options.bothScrollBars;
  params.margin = options.margin < 1 ? 5 : options.margin;
  params.fileButtons = options.fileButtons;
  return params;
}

TextDialogParams MakeTextDialogParams(std::string_view content,
                                      const std::optional<std::string>& prompt,
                                      std::string_view title, bool inputMode, int contentStyle,
                                      bool maximize, int width, int height, bool bothScrollBars,
                                      int margin, int fileButtons) {
  return MakeTextDialogParams(
      content, inputMode ? DialogMode::kInput : DialogMode::kInformation,
      {.prompt = prompt,
       .title = std::string(title),
       .contentStyle = contentStyle == 1 ? ContentStyle::kReadOnly : ContentStyle::kEditable,
       .maximize = maximize,
       .width = width,
       .height = height,
       .bothScrollBars = bothScrollBars,
       .margin = margin,
       .fileButtons = fileButtons});
}

bool OpenTextDialog(const TextDialogParams& params, QWidget* owner, std::string* result) {
  static bool open = false;
  if (open) return false;
  open = true;
  TextDialog dialog(params, owner);
  dialog.exec();
  open = false;
  if (dialog.accepted() && result) *result = dialog.resultText();
  return dialog.accepted();
}

QString ToQtFileFilter(std::string_view platformFilter) {
  const QStringList parts =
      QString::fromUtf8(platformFilter.data(), platformFilter.size()).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    }
    filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

TextDialog::TextDialog(TextDialogParams params, QWidget* owner)
    : QDialog(owner), params_(std::move(params)), chooseFiles_(ChooseWithSystemDialog) {
  if (params_.margin < 1) params_.margin = 5;
  setFont(DesignFont(12));
  setModal(true);
  resize(kDesignWidth, kDesignHeight);
  build();
  setUp();
}

void TextDialog::build() {
  prompt_ = new QTextEdit(this);
  prompt_->setObjectName(QStringLiteral("编辑框提示"));
  prompt_->setGeometry(13, 8, 395, 33);
  prompt_->setReadOnly(true);
  prompt_->setFrameShape(QFrame::NoFrame);
  prompt_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  prompt_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  prompt_->document()->setDocumentMargin(0);
  prompt_->setFocusPolicy(Qt::NoFocus);
  QPalette dialogColours = prompt_->palette();
  dialogColours.setColor(QPalette::Base, palette().color(QPalette::Window));
  prompt_->setPalette(dialogColours);

  content_ = new TextBox(this);
  content_->setObjectName(QStringLiteral("编辑框正文"));
  content_->setGeometry(5, 56, 411, 168);
  content_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  content_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  buttonRow_ = new QWidget(this);
  buttonRow_->setObjectName(QStringLiteral("外形框"));
  buttonRow_->setGeometry(8, 320, 336, 34);
  restore_ = MakeButton("按钮恢复", "恢复", buttonRow_, {0, 5, 51, 24});
  clear_ = MakeButton("按钮清空", "清空", buttonRow_, {54, 5, 51, 24});
  paste_ = MakeButton("按钮粘贴", "粘贴", buttonRow_, {107, 5, 85, 24});
  importContents_ = MakeButton("按钮文件", "内容", buttonRow_, {208, 5, 51, 24});
  importNames_ = MakeButton("按钮文件名", "文件名", buttonRow_, {259, 5, 69, 24});
  okButton_ = MakeButton("按钮确定", "确定", this, {351, 328, 64, 24});
  cancel_ = MakeButton("按钮取消", "取消", this, {414, 328, 64, 24});

  connect(okButton_, &QPushButton::clicked, this, [this] {
    result_ = content_->programText();
    ok_ = true;
    done(Accepted);
  });
  connect(cancel_, &QPushButton::clicked, this, [this] { done(Rejected); });
  connect(clear_, &QPushButton::clicked, this, [this] { content_->setProgramText({}); });
  connect(paste_, &QPushButton::clicked, this,
          [this] { content_->setProgramText(ClipboardText()); });
  connect(restore_, &QPushButton::clicked, this, [this] { restoreInitial(); });
  connect(importContents_, &QPushButton::clicked, this, [this] { importFiles(true); });
  connect(importNames_, &QPushButton::clicked, this, [this] { importFiles(false); });
}

void TextDialog::setUp() {
  importContents_->setVisible(params_.fileButtons == kFileContentsButton ||
                              params_.fileButtons == kBothFileButtons);
  importNames_->setVisible(params_.fileButtons == kFileNamesButton ||
                           params_.fileButtons == kBothFileButtons);

  prompt_->setPlainText(ToQString(params_.prompt));
  // Rows of 12 pixels, as the prompt box's height is counted.
  QTextBlockFormat rows;
  rows.setLineHeight(12, QTextBlockFormat::FixedHeight);
  QTextCursor all(prompt_->document());
  all.select(QTextCursor::Document);
  all.mergeBlockFormat(rows);
  setWindowTitle(ToQString(params_.title));
  content_->setProgramText(params_.initial);
  content_->setReadOnly(params_.contentStyle == ContentStyle::kReadOnly);

  if (params_.infoMode) {
    okButton_->hide();
    buttonRow_->hide();
    content_->setReadOnly(true);
    cancel_->setText(QStringLiteral("关闭(&G)"));
    cancel_->setDefault(true);
  }
  if (params_.bothScrollBars) {
    content_->setLineWrapMode(QPlainTextEdit::NoWrap);
    content_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  }

  const int m = params_.margin;
  if (params_.width > 0) resize(params_.width + 2 * m, height());
  if (params_.height > 0) {
    resize(width(), prompt_->height() + 2 * m + params_.height + 3 * m + okButton_->height());
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(static_cast<int>(area.width() / 2.0 - width() / 2.0),
         static_cast<int>((area.height() - 30) / 2.0 - height() / 2.0));
  }
  if (params_.maximize) setWindowState(windowState() | Qt::WindowMaximized);
  content_->setFocus();
  layOut();
}

int TextDialog::PromptHeight(std::string_view prompt, int boxWidth) {
  const int perRow = std::max(1, boxWidth / 6);
  int rows = 0;
  size_t begin = 0;
  while (true) {
    const size_t end = prompt.find("\r\n", begin);
    const size_t length = (end == std::string_view::npos ? prompt.size() : end) - begin;
    rows += std::max<int>(1, static_cast<int>((length + perRow - 1) / perRow));
    if (end == std::string_view::npos) break;
    begin = end + 2;
  }
  return rows * 12;
}

void TextDialog::layOut() {
  const int m = params_.margin;
  const int cw = width();
  const int ch = height();
  const int boxWidth = std::max(0, cw - 2 * m);
  prompt_->setGeometry(m, m, boxWidth, PromptHeight(params_.prompt, boxWidth));
  const int contentTop = prompt_->geometry().bottom() + 1 + m;
  content_->setGeometry(m, contentTop, boxWidth,
                        std::max(0, ch - contentTop - buttonRow_->height()));
  buttonRow_->move(m, contentTop + content_->height());
  cancel_->move(cw - m - cancel_->width(), cancel_->y());
  okButton_->move(cancel_->x() - okButton_->width(), okButton_->y());
  const int buttonTop = buttonRow_->y() + buttonRow_->height() / 2 - cancel_->height() / 2;
  cancel_->move(cancel_->x(), buttonTop);
  okButton_->move(okButton_->x(), buttonTop);
}

void TextDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  layOut();
}

void TextDialog::reject() {
  if (!params_.infoMode && content_->programText() != params_.initial &&
      ShowMessage(ProgramText("内容已被改动，是否要放弃？"), kMessageYesNo) == kResultNo) {
    return;
  }
  QDialog::reject();
}

void TextDialog::restoreInitial() {
  if (params_.initial.empty()) {
    ShowMessage(ProgramText("启动值为空！"), kMessageOk);
    return;
  }
  content_->setProgramText(params_.initial);
}

void TextDialog::importFiles(bool contents) {
  const QString title = QStringLiteral("选择多个文件，将导入其") +
                        (contents ? QStringLiteral("文件内容") : QStringLiteral("文件路径"));
  const QStringList files = chooseFiles_(this, title, ToQtFileFilter(kImportFilter));
  for (const QString& path : files) {
    std::string text;
    if (contents) {
      QFile file(path);
      if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        text = std::string(CutAtZero(std::string_view(bytes.constData(), bytes.size())));
      }
    } else {
      text = FromQString(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    }
    content_->appendProgramText(text + "\r\n");
    QCoreApplication::processEvents();
  }
}

}  // namespace keelnode
