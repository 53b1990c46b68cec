#include "viewer/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <limits>

#include "viewer/brand_images.h"
#include "viewer/clipboard.h"
#include "viewer/controls.h"
#include "viewer/fonts.h"
#include "viewer/icon_sets.h"
#include "viewer/json_tree_view.h"
#include "viewer/links.h"
#include "viewer/notes_text.h"
#include "viewer/program_text.h"
#include "viewer/text_box.h"
#include "viewer/text_dialog.h"
#include "viewer/ui_yield.h"

namespace keelnode {
namespace {

const QString kDoNotSave = QStringLiteral("禁止保存");

// Value boxes show at most this much of a value: a box lays out a line of
// 256 KB in about a third of a second here, and the two boxes together must
// show without a pause; the copy commands still copy all of it.
constexpr size_t kValueDisplayLimit = 64 << 10;

template <typename Control, typename... Args>
Control* Make(const char* name, QWidget* parent, QRect geometry, Args&&... args) {
  auto* control = new Control(std::forward<Args>(args)..., parent);
  control->setObjectName(QString::fromUtf8(name));
  control->setGeometry(geometry);
  return control;
}

QCheckBox* MakeCheckBox(const char* name, const char* caption, QWidget* parent, QRect geometry,
                        bool checked = false) {
  auto* box = Make<QCheckBox>(name, parent, geometry, QString::fromUtf8(caption));
  box->setChecked(checked);
  return box;
}

void SetTextColour(QWidget* box, QColor colour) {
  QPalette colours = box->palette();
  colours.setColor(QPalette::Text, colour);
  box->setPalette(colours);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent), pictureIcons_(MakeIconSet(false)), textIconSet_(MakeIconSet(true)) {
  InstallUiYieldHook();
  setObjectName(QStringLiteral("主窗口"));
  setWindowTitle(QStringLiteral("岚溪·DUVOvidu(Keelnode) v1.1.3.0"));
  setFont(DesignFont(15));
  // Controls are created in the window's control order.
  buildBanner();
  buildWorkArea();
  buildSearchBar();
  buildTreeMenu();
  connectControls();
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  resize(kDesignWidth, kDesignHeight);
  move(50, 50);
  applyIconSet();
  layOut();
  brandTimer_->start();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildBanner() {
  banner_ = Make<QWidget>("图片框1", this, {0, 0, 1088, 90});
  banner_->setAutoFillBackground(true);
  QPalette white = banner_->palette();
  white.setColor(QPalette::Window, Qt::white);
  banner_->setPalette(white);

  textIcons_ = MakeCheckBox("选择框文字图标", "文字图标", banner_, {912, 8, 88, 24});
  decodeFirst_ = MakeCheckBox("选择框先行解码", "先行解码", banner_, {912, 32, 88, 24});
  topmost_ = MakeCheckBox("选择框窗口置顶", "窗口置顶", banner_, {912, 56, 88, 24});
  zeroBased_ = MakeCheckBox("选择框数组从0开始", "数组从零开始", banner_, {776, 8, 128, 24});
  arrayNodes_ =
      MakeCheckBox("选择框数组独立节点", "数组独立节点", banner_, {776, 32, 128, 24}, true);
  singleQuotes_ = MakeCheckBox("选择框单引号格式", "单引号格式", banner_, {776, 56, 128, 24});

  rule_ = Make<QLabel>("标签13", banner_, {0, 88, 2000, 2});
  rule_->setAutoFillBackground(true);
  QPalette grey = rule_->palette();
  grey.setColor(QPalette::Window, QColor(160, 160, 160));
  rule_->setPalette(grey);

  brandImage_ = Make<ImageLabel>("图片岚溪软件", banner_, {368, 12, 195, 64});
  brandImage_->setPixmap(BrandLogo());
  brandTimer_ = new QTimer(banner_);
  brandTimer_->setObjectName(QStringLiteral("时钟官网"));
  brandTimer_->setInterval(20);

  notesImage_ = Make<ImageLabel>("图片疑点说明", banner_, {16, 0, 64, 64});
  notesImage_->setPixmap(NotesImage());
  notesLink_ =
      Make<LinkLabel>("链接疑点说明", banner_, {16, 64, 64, 24}, QStringLiteral("疑点说明"));

  homepageImage_ = Make<ImageLabel>("图片软件主页", banner_, {96, 0, 64, 64});
  homepageImage_->setPixmap(HomepageImage());
  homepageLink_ =
      Make<LinkLabel>("链接软件主页", banner_, {96, 64, 64, 24}, QStringLiteral("软件主页"));
  homepageLink_->setAddress(QUrl(QString::fromUtf8(kProductPage)));
}

void MainWindow::buildWorkArea() {
  pasteJson_ = Make<MouseButton>("按钮粘贴JSON树", this, {8, 96, 536, 32},
                                 QStringLiteral("粘贴JSON数据到树（右键单击可读取网址数据）"));
  pasteJson_->setProperty("tag", kDoNotSave);

  tabs_ = Make<QTabWidget>("选择夹", this, {8, 132, 536, 384});
  tabs_->setDocumentMode(true);
  static const char* const kCaptions[kTabCount] = {"  JSON树  ", "  树2  ", "  树3  ", "  树4  ",
                                                   "  树5  ",    "  树6  ", "  树7  "};
  static const char* const kTreeNames[kTabCount] = {"树型框",  "树型框2", "树型框3", "树型框4",
                                                    "树型框5", "树型框6", "树型框7"};
  for (const char* caption : kCaptions)
    tabs_->addTab(new QWidget, QString::fromUtf8(caption));
  // The trees sit on the tab control itself, not inside its pages, so that
  // their place is measured from the control's top edge whatever the height
  // of the tab strip; only the current page's tree is shown.
  for (int k = 0; k < kTabCount; ++k) {
    trees_[k] = Make<JsonTreeView>(kTreeNames[k], tabs_,
                                   k == 0 ? QRect(4, 37, 500, 323) : QRect(8, 40, 500, 323));
    trees_[k]->setVisible(k == 0);
  }

  pathBox_ = Make<QLineEdit>("编辑框路径", this, {550, 96, 448, 32});
  pathBox_->setProperty("tag", kDoNotSave);
  pathBox_->setMaxLength(std::numeric_limits<int>::max());
  SetTextColour(pathBox_, QColor(0, 128, 0));

  readPath_ = Make<QPushButton>("按钮读取", this, {664, 96, 104, 32}, QStringLiteral("读取路径"));
  readPath_->hide();

  valueBox_ = Make<TextBox>("编辑框路径数据", this, {550, 132, 448, 252});
  valueBox_->setDisplayLimit(kValueDisplayLimit);
  valueBox_->setProperty("tag", kDoNotSave);
  SetTextColour(valueBox_, QColor(128, 0, 128));
  decodedBox_ = Make<TextBox>("编辑框路径数据2", this, {550, 392, 448, 132});
  decodedBox_->setDisplayLimit(kValueDisplayLimit);
  decodedBox_->setProperty("tag", kDoNotSave);
  SetTextColour(decodedBox_, QColor(0, 0, 255));
}

void MainWindow::buildSearchBar() {
  searchBar_ = Make<QWidget>("外形框1", this, {0, 568, 1048, 40});
  searchText_ = Make<QLineEdit>("编辑框查找文本", searchBar_, {8, 8, 368, 24});
  searchText_->setMaxLength(std::numeric_limits<int>::max());
  searchText_->setText(QStringLiteral("要在JSON树中查找的文本"));
  // Sits over the right end of the search box.
  pasteSearch_ =
      Make<QPushButton>("按钮粘贴", searchBar_, {332, 10, 40, 20}, QStringLiteral("粘贴"));
  next_ = Make<MouseButton>("按钮下一个", searchBar_, {381, 8, 80, 24}, QStringLiteral("下一个"));
  previous_ =
      Make<QPushButton>("按钮上一个", searchBar_, {464, 8, 80, 24}, QStringLiteral("上一个"));
  searchOptionsLabel_ =
      Make<QLabel>("标签1", searchBar_, {552, 8, 80, 24}, QStringLiteral("查找选项："));
  plainMode_ =
      Make<QRadioButton>("单选框默认", searchBar_, {640, 8, 64, 24}, QStringLiteral("默认"));
  plainMode_->setChecked(true);
  wildcardMode_ =
      Make<QRadioButton>("单选框通配", searchBar_, {712, 8, 64, 24}, QStringLiteral("通配"));
  patternMode_ =
      Make<QRadioButton>("单选框正则", searchBar_, {784, 8, 64, 24}, QStringLiteral("正则"));
  ignoreCase_ = MakeCheckBox("选择框忽略大小写", "忽略大小写", searchBar_, {907, 8, 104, 24});
}

void MainWindow::buildTreeMenu() {
  treeMenu_ = new QMenu(this);
  treeMenu_->setObjectName(QStringLiteral("树菜单"));
  QAction* path = treeMenu_->addAction(QStringLiteral("复制路径"));
  bindToTrees(path, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  connect(path, &QAction::triggered, this, [this] { copyPath(); });
  QAction* value = treeMenu_->addAction(QStringLiteral("复制路径数据"));
  bindToTrees(value, QKeySequence(Qt::CTRL | Qt::Key_C));
  connect(value, &QAction::triggered, this, [this] { copyValue(); });
  connect(treeMenu_->addAction(QStringLiteral("复制USC2解码的路径数据")), &QAction::triggered, this,
          [this] { copyDecodedValue(); });
  QAction* viewer = treeMenu_->addAction(QStringLiteral("在查看器中打开值"));
  viewer->setShortcut(QKeySequence(Qt::Key_F4));
  viewer->setShortcutContext(Qt::WindowShortcut);
  addAction(viewer);  // F4 works while the menu is closed
  connect(viewer, &QAction::triggered, this, [this] { openValueViewer(); });
  buildPathMenu();
  buildFileMenu();
  buildExpandMenu();
  buildKeyCommands();
}

void MainWindow::connectControls() {
  connect(textIcons_, &QCheckBox::clicked, this, [this] { applyIconSet(); });
  connect(topmost_, &QCheckBox::clicked, this, [this] { applyTopmost(); });
  connect(arrayNodes_, &QCheckBox::clicked, this, [this] { showSelection(false); });
  for (QCheckBox* option : {decodeFirst_, singleQuotes_, zeroBased_})
    connect(option, &QCheckBox::clicked, this, [this] { reloadCurrentTab(); });
  connect(brandTimer_, &QTimer::timeout, this, [this] { stepBrandImage(); });
  connect(brandImage_, &ImageLabel::clicked, this,
          [] { OpenAddress(QUrl(QString::fromUtf8(kMakerHomepage))); });
  connect(homepageImage_, &ImageLabel::clicked, this,
          [this] { OpenAddress(homepageLink_->address()); });
  connect(notesImage_, &ImageLabel::clicked, this, [this] { showNotes(); });
  connect(notesLink_, &LinkLabel::leftPressed, this, [this] { showNotes(); });

  connect(pasteJson_, &QPushButton::clicked, this, [this] { pasteIntoCurrentTab(); });
  connect(pasteJson_, &MouseButton::rightPressed, this, &MainWindow::pasteFromAddressRequested);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    for (int k = 0; k < kTabCount; ++k)
      trees_[k]->setVisible(k == index);
    emit tabChanged(index + 1);
  });
  for (JsonTreeView* view : trees_) {
    connect(view, &JsonTreeView::currentItemChanged, this, [this] { showSelection(false); });
    connect(view, &JsonTreeView::itemMenuRequested, this,
            [this](const QPoint& at) { showTreeMenu(at); });
    connect(view, &JsonTreeView::doubleClickedTree, this, [this] { searchTextFromCurrentItem(); });
  }
  valueBox_->viewport()->installEventFilter(this);
  connect(readPath_, &QPushButton::clicked, this, [this] { readValueAtPath(); });
  connect(pathBox_, &QLineEdit::returnPressed, this, [this] { goToTypedPath(); });

  connect(pasteSearch_, &QPushButton::clicked, this,
          [this] { searchText_->setText(ToQString(ClipboardText())); });
  connect(next_, &QPushButton::clicked, this, [this] { searchTree(false); });
  connect(next_, &MouseButton::rightPressed, this, [this] { searchTree(true); });
  connect(previous_, &QPushButton::clicked, this, [this] { searchTree(true); });
}

int MainWindow::currentTabNumber() const {
  return tabs_->currentIndex() + 1;
}

void MainWindow::setCurrentTabNumber(int tabNumber) {
  if (tabNumber >= 1 && tabNumber <= kTabCount) tabs_->setCurrentIndex(tabNumber - 1);
}

JsonTreeView* MainWindow::tree(int tabNumber) const {
  return trees_.at(tabNumber - 1);
}

JsonDocument& MainWindow::document(int tabNumber) {
  return documents_.at(tabNumber - 1);
}

const std::string& MainWindow::rawText(int tabNumber) const {
  return tree(tabNumber)->rawText();
}

void MainWindow::setRawText(int tabNumber, std::string text) {
  tree(tabNumber)->setRawText(std::move(text));
}

int MainWindow::currentItem(int tabNumber) const {
  return tree(tabNumber)->currentItem();
}

void MainWindow::setCurrentItem(int tabNumber, int item) {
  tree(tabNumber)->setCurrentItem(item);
}

std::vector<QWidget*> MainWindow::controlOrder() const {
  std::vector<QWidget*> order = {decodeFirst_, singleQuotes_, pasteSearch_, ignoreCase_,
                                 patternMode_, wildcardMode_, previous_,    plainMode_,
                                 next_,        searchText_,   topmost_,     textIcons_,
                                 zeroBased_,   arrayNodes_,   readPath_};
  // Never saved (tagged, or of no saved kind), so their place is free.
  order.insert(order.end(), {banner_, rule_, brandImage_, notesImage_, notesLink_, homepageImage_,
                             homepageLink_, pasteJson_, tabs_});
  order.insert(order.end(), trees_.begin(), trees_.end());
  order.insert(order.end(), {pathBox_, valueBox_, decodedBox_, searchBar_, searchOptionsLabel_,
                             treeMenu_, fileMenu_, recentMenu_});
  return order;
}

void MainWindow::showTreeMenu(const QPoint& globalPos) {
  treeMenu_->popup(globalPos);
}

void MainWindow::showNotes() {
  // Owned by the window so that it never opens behind a topmost window.
  OpenTextDialog(MakeTextDialogParams(NotesText(), DialogMode::kInformation), this, nullptr);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  emit closing();
  event->accept();
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !activated_) {
    activated_ = true;
    emit firstActivated();
  }
  return QWidget::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == valueBox_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    openValueViewer();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace keelnode
