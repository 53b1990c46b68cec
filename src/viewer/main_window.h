// The program's main window: seven workspace tabs with one tree each, the
// path and value boxes, the search bar, and the banner with the options.
//
// Controls carry their names as object names and the "禁止保存" tag as the
// string property "tag"; they are created in the window's control order,
// which is what the saved control states walk. Tabs are numbered 1..7.
//
// Restoring and saving state, the data files, reloads after an option
// change and fetching from an address are built on top of this class; it
// offers them the tab state and the hooks below.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "json/item_display.h"
#include "json/json_document.h"
#include "json/path_syntax.h"
#include "json/tree_item_list.h"
#include "viewer/tree_item_model.h"

class QAction;
class QCheckBox;
class QKeySequence;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;

namespace keelnode {

class ImageLabel;
class JsonTreeView;
struct ExpansionPlan;
class LinkLabel;
class MouseButton;
class TextBox;

class MainWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kTabCount = 7;
  static constexpr int kDesignWidth = 1020;
  static constexpr int kDesignHeight = 739;
  // The smallest size the layout reflows to (below the design width it
  // reflows, see main_window_layout.cpp): room for every control.
  static constexpr int kMinimumWidth = 640;
  static constexpr int kMinimumHeight = 400;

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // --- tabs ---
  int currentTabNumber() const;
  // Makes a tab current (its page-change signal follows); other numbers
  // change nothing.
  void setCurrentTabNumber(int tabNumber);
  JsonTreeView* currentTree() const { return tree(currentTabNumber()); }
  JsonDocument& currentDocument() { return document(currentTabNumber()); }
  JsonTreeView* tree(int tabNumber) const;
  JsonDocument& document(int tabNumber);
  // The tab's raw text, as its last load received it (kept by its tree).
  const std::string& rawText(int tabNumber) const;
  void setRawText(int tabNumber, std::string text);
  int currentItem(int tabNumber) const;
  void setCurrentItem(int tabNumber, int item);
  bool isLoading(int tabNumber) const { return loading_[tabNumber - 1]; }
  // A reserved tab refuses loads: a fetch that will fill it holds it, so
  // that a paste or reload meanwhile cannot be overtaken by the fetch.
  void reserveTab(int tabNumber, bool reserved) { reserved_.at(tabNumber - 1) = reserved; }
  bool isReserved(int tabNumber) const { return reserved_.at(tabNumber - 1); }

  // --- load pipeline ---
  // Shows `text` (or, unless useGivenText, the clipboard text, which is then
  // written back to `text`) as the tree of tab `tabNumber`; with
  // restoreSelection, item `selectedItem` becomes current afterwards. A
  // request for a tab that is already loading, or reserved, is ignored; a
  // text the memory left cannot hold is refused with a message (at start-up,
  // restoreSelection, with a line in the tree instead). False when the tab
  // was left as it was.
  bool loadTab(std::string& text, bool useGivenText, int tabNumber, int selectedItem,
               bool restoreSelection);
  // The paste button's click: the clipboard into the current tab.
  void pasteIntoCurrentTab();
  // Loads the current tab's raw text again (a parsing option changed),
  // keeping its current item.
  void reloadCurrentTab();

  // --- selection display ---
  void showSelection(bool suppressRead);
  void readValueAtPath();
  void copyPath() const;
  void copyValue() const;
  void copyDecodedValue() const;
  // The value box's whole value in a viewer window of its own, which keeps
  // its own copy; the search bar's modes carry over to its find.
  void openValueViewer();

  // --- paths in other syntaxes, go to path ---
  // The current item's path in another tool's syntax, to the clipboard.
  void copyPathAs(PathSyntax syntax) const;
  // The item the path box's text names (in any syntax) becomes current and
  // is scrolled to; an unknown path says so by the box and changes nothing.
  void goToTypedPath();
  // The path box gets the focus with its text selected, ready for a path.
  void focusPathBox();
  // The search box gets the focus with its text selected.
  void focusSearchText();

  // --- files ---
  // The entries of the recent-files menu, newest first; the first ten are
  // shown, numbered 1 ... 0 as keys of the open menu (Alt+1 ... Alt+5
  // belong to the expand-to-level commands).
  void setRecentFiles(const QStringList& paths);
  // A dropped text goes into the current tab as a paste would put it.
  void loadDroppedText(const QString& text);
  // --- opening and closing items ---
  // Every item under the current one opens (a thousand levels at most); the
  // whole tree closes; the tree opens down to `level` (1..5) with the rest
  // closed. A command that would show more rows than the window can lay out
  // at once says so and changes nothing (false).
  bool expandAllUnderCurrent();
  void collapseAllItems();
  bool expandToLevel(int level);
  void setMaxRowsShown(int64_t rows) { maxRowsShown_ = rows; }

  // --- tree search ---
  void searchTree(bool backward);
  // How long "找不到" stays on the search button, in milliseconds.
  void setNotFoundPause(int milliseconds) { notFoundPause_ = milliseconds; }

  // --- window options ---
  void applyIconSet();
  void applyTopmost();
  // Layout for the current size (also run by every resize); from the design
  // width up it is the design's.
  void layOut();
  // One tick of the brand image's walk along the banner.
  void stepBrandImage();

  // Every control of the window in the order the saved control states
  // walk them. It is the control order of the program whose settings files
  // this one shares, which puts the keys of a first save in the order those
  // files have; it differs from the creation order, which interleaves the
  // banner and the search bar.
  std::vector<QWidget*> controlOrder() const;

 signals:
  // The window is about to close; closing is always allowed.
  void closing();
  // The window was activated for the first time.
  void firstActivated();
  // The current page changed (tab number 1..7).
  void tabChanged(int tabNumber);
  // A load of the tab has finished: its tree shows its raw text.
  void tabLoaded(int tabNumber);
  // Right button on the paste button, with the modifier keys (Ctrl 1,
  // Shift 2, Alt 4).
  void pasteFromAddressRequested(int modifierBits);
  // Ctrl+O or its menu entry: the files to open are chosen outside.
  void openFileRequested();
  // An entry of the recent-files menu was chosen.
  void recentFileRequested(const QString& path);
  // Local files dropped on the window, in the order the drop lists them.
  void filesDropped(const QStringList& paths);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildBanner();
  void buildWorkArea();
  void buildSearchBar();
  void buildTreeMenu();
  void buildPathMenu();
  void buildFileMenu();
  void buildExpandMenu();
  void buildKeyCommands();
  // The action's keys work while one of the trees has the focus.
  void bindToTrees(QAction* action, const QKeySequence& keys);
  bool applyExpansion(const ExpansionPlan& plan, bool collapseOthers);
  void connectControls();
  void showTreeMenu(const QPoint& globalPos);
  void showNotes();
  void searchTextFromCurrentItem();
  bool arraysAsNodes() const;
  PathSpelling pathSpelling() const;
  std::string pathBoxText() const;

  // Banner.
  QWidget* banner_ = nullptr;
  QCheckBox* textIcons_ = nullptr;
  QCheckBox* decodeFirst_ = nullptr;
  QCheckBox* topmost_ = nullptr;
  QCheckBox* zeroBased_ = nullptr;
  QCheckBox* arrayNodes_ = nullptr;
  QCheckBox* singleQuotes_ = nullptr;
  QLabel* rule_ = nullptr;
  ImageLabel* brandImage_ = nullptr;
  QTimer* brandTimer_ = nullptr;
  ImageLabel* notesImage_ = nullptr;
  LinkLabel* notesLink_ = nullptr;
  ImageLabel* homepageImage_ = nullptr;
  LinkLabel* homepageLink_ = nullptr;
  bool brandMovingRight_ = true;

  // Work area.
  MouseButton* pasteJson_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::array<JsonTreeView*, kTabCount> trees_{};
  QLineEdit* pathBox_ = nullptr;
  std::string shownPath_;  // the path box's text as set, kept byte for byte
  QPushButton* readPath_ = nullptr;
  TextBox* valueBox_ = nullptr;
  TextBox* decodedBox_ = nullptr;

  // Search bar.
  QWidget* searchBar_ = nullptr;
  QLineEdit* searchText_ = nullptr;
  QPushButton* pasteSearch_ = nullptr;
  MouseButton* next_ = nullptr;
  QPushButton* previous_ = nullptr;
  QRadioButton* plainMode_ = nullptr;
  QRadioButton* wildcardMode_ = nullptr;
  QRadioButton* patternMode_ = nullptr;
  QLabel* searchOptionsLabel_ = nullptr;
  QCheckBox* ignoreCase_ = nullptr;

  QMenu* treeMenu_ = nullptr;
  QMenu* fileMenu_ = nullptr;  // also on the right button over the tab strip
  QMenu* recentMenu_ = nullptr;

  std::array<JsonDocument, kTabCount> documents_;
  std::array<bool, kTabCount> loading_{};
  std::array<bool, kTabCount> reserved_{};
  TreeItemList searchList_;  // the current tree's block while a search runs
  IconSet pictureIcons_;
  IconSet textIconSet_;
  int notFoundPause_ = 500;
  // One layout of a million rows takes about a fifth of a second here (two
  // million: 0.44 s); beyond that an expand command is refused.
  int64_t maxRowsShown_ = 1000000;
  bool activated_ = false;
};

}  // namespace keelnode
