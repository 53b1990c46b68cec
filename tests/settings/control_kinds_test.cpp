// Saving and restoring one control of each kind.
#include "settings/controls/control_kinds.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

#include "settings/controls/control_state.h"
#include "settings/controls/list_items.h"
#include "settings/controls/window_geometry.h"
#include "settings/memory_file_system.h"
#include "test_support.h"
#include "widget_support.h"

namespace keelnode {
namespace {

using testing::Add;
using testing::G;

constexpr char kPath[] = "/data/s.ini";

QListWidget* AddList(QWidget* parent, const char* name, QStringList items, bool checkable) {
  auto* list = Add<QListWidget>(parent, name);
  list->addItems(items);
  for (int row = 0; checkable && row < list->count(); ++row) {
    list->item(row)->setFlags(list->item(row)->flags() | Qt::ItemIsUserCheckable);
    list->item(row)->setCheckState(Qt::Unchecked);
  }
  return list;
}

class ControlKindsTest : public ::testing::Test {
 protected:
  ControlKindsTest() {
    files_.AddDirectory("/data");
    EXPECT_TRUE(store_.Open(kPath));
    store_.SetSection(G("JSON树"));
  }
  std::string Stored(const char* key) { return store_.ReadEntry(G("JSON树"), G(key), "<absent>"); }
  void SaveAll() { PersistWindowControls(store_, window_, false); }
  void RestoreAll() { PersistWindowControls(store_, window_, true); }

  MemoryFileSystem files_;
  SettingsStore store_{files_};
  QWidget window_;
};

TEST_F(ControlKindsTest, ByteModeEditBoxGoesToASideFileOnly) {
  auto* edit = Add<QLineEdit>(&window_, "编辑框1", "字节集方式");
  edit->setText(QString::fromUtf8("字节"));
  SaveAll();
  EXPECT_EQ(files_.File("/data/inibin/JSON树-编辑框1.ibn"), G("字节"));
  EXPECT_EQ(store_.GetImageText(), "");
  // Restoring takes the bytes up to the first zero.
  files_.SetFile("/data/inibin/JSON树-编辑框1.ibn", std::string("back\0junk", 9));
  RestoreAll();
  EXPECT_EQ(edit->text(), QStringLiteral("back"));
}

TEST_F(ControlKindsTest, ButtonsKeepTheirTag) {
  auto* plain = Add<QPushButton>(&window_, "按钮甲", "标记文本");
  auto* bytes = Add<QPushButton>(&window_, "按钮乙", "字节集方式");
  SaveAll();
  EXPECT_EQ(Stored("按钮甲.标记"), G("标记文本"));
  EXPECT_EQ(files_.File("/data/inibin/JSON树-按钮乙.标记.ibn"), G("字节集方式"));
  store_.WriteText(G("按钮甲.标记"), G("新标记"));
  RestoreAll();
  EXPECT_EQ(plain->property("tag").toString(), QString::fromUtf8("新标记"));
  EXPECT_EQ(bytes->property("tag").toString(), QString::fromUtf8("字节集方式"));
}

TEST_F(ControlKindsTest, MultiLineEditBoxesStoreWindowsLineBreaks) {
  auto* plain = Add<QPlainTextEdit>(&window_, "编辑框多行");
  auto* rich = Add<QTextEdit>(&window_, "编辑框富文本");
  plain->setPlainText(QStringLiteral("a\nb"));
  rich->setPlainText(QStringLiteral("c\nd"));
  SaveAll();
  EXPECT_EQ(Stored("编辑框多行"), "a" + G("┊*┊") + "b");
  plain->clear();
  rich->clear();
  RestoreAll();
  EXPECT_EQ(plain->toPlainText(), QStringLiteral("a\nb"));
  EXPECT_EQ(rich->toPlainText(), QStringLiteral("c\nd"));
}

TEST_F(ControlKindsTest, ListBoxStoresItemsAndSelectedRows) {
  auto* list = AddList(&window_, "列表框1", {"a", "b", "c", "d", "e", "f"}, false);
  list->setSelectionMode(QAbstractItemView::MultiSelection);
  for (int row : {5, 0, 2})
    list->item(row)->setSelected(true);
  auto* empty = AddList(&window_, "列表框2", {"x"}, false);
  SaveAll();
  EXPECT_EQ(Stored("列表框1.选中"), "0,2,5");
  EXPECT_EQ(Stored("列表框2.选中"), "");
  EXPECT_EQ(files_.File("/data/inibin/JSON树-列表框1.ibn"),
            EncodeListItems({"a", "b", "c", "d", "e", "f"}));

  list->clear();
  empty->clear();
  empty->addItems({"y", "z"});
  RestoreAll();
  ASSERT_EQ(list->count(), 6);
  EXPECT_EQ(list->item(3)->text(), QStringLiteral("d"));
  std::vector<int> selected;
  for (int row = 0; row < list->count(); ++row) {
    if (list->item(row)->isSelected()) selected.push_back(row);
  }
  EXPECT_EQ(selected, (std::vector<int>{0, 2, 5}));
  ASSERT_EQ(empty->count(), 1);
  EXPECT_TRUE(empty->selectedItems().isEmpty());
}

TEST_F(ControlKindsTest, ListBoxIgnoresRowsItDoesNotHave) {
  auto* list = AddList(&window_, "列表框1", {"a", "b"}, false);
  list->setSelectionMode(QAbstractItemView::MultiSelection);
  store_.WriteText(G("列表框1.选中"), "1,x,-1,7,,99999999999");
  RestoreAll();
  EXPECT_EQ(list->selectedItems().size(), 1);
  EXPECT_TRUE(list->item(1)->isSelected());
}

TEST_F(ControlKindsTest, CheckedListBoxStoresItemsCurrentRowAndChecks) {
  auto* list = AddList(&window_, "选择列表框1", {"p", "q", "r"}, true);
  list->item(0)->setCheckState(Qt::Checked);
  list->item(2)->setCheckState(Qt::Checked);
  list->setCurrentRow(1);
  SaveAll();
  EXPECT_EQ(Stored("选择列表框1.选中"), "1");
  EXPECT_EQ(Stored("选择列表框1.打勾"), "0,2");

  list->clear();
  RestoreAll();
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
  EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
  EXPECT_TRUE(list->item(1)->flags() & Qt::ItemIsUserCheckable);
}

TEST_F(ControlKindsTest, ComboBoxSelectionItemsAndText) {
  auto* combo = Add<QComboBox>(&window_, "组合框1");
  combo->setEditable(true);
  combo->addItems({"one", "two", "three"});
  combo->setCurrentIndex(2);
  PersistOptions options;
  options.combo_items = true;
  options.combo_text = true;
  PersistWindowControls(store_, window_, false, options);
  EXPECT_EQ(Stored("组合框1"), "2");
  EXPECT_EQ(Stored("组合框1.内容"), "three");
  EXPECT_EQ(store_.ListKeys(G("JSON树")),
            (std::vector<std::string>{G("组合框1.内容"), G("组合框1")}));

  combo->clear();
  combo->addItems({"other"});
  PersistWindowControls(store_, window_, true, options);
  ASSERT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->currentIndex(), 2);  // items came back before the selection
  EXPECT_EQ(combo->currentText(), QStringLiteral("three"));

  // Without the options only the selection is kept; an index out of range is ignored.
  store_.WriteNumber(G("组合框1"), 7);
  RestoreAll();
  EXPECT_EQ(combo->currentIndex(), 2);
}

TEST_F(ControlKindsTest, ColourPickerStoresBgrNumbers) {
  auto* picker = Add<ColourPicker>(&window_, "颜色选择器1");
  picker->setColour(QColor(0x12, 0x34, 0x56));
  SaveAll();
  EXPECT_EQ(Stored("颜色选择器1"), std::to_string(0x563412));
  store_.WriteNumber(G("颜色选择器1"), 0x0000FF);
  RestoreAll();
  EXPECT_EQ(picker->colour(), QColor(Qt::red));
  for (double bad : {-1.0, 16777216.0}) {
    store_.WriteNumber(G("颜色选择器1"), bad);
    RestoreAll();
    EXPECT_EQ(picker->colour(), QColor(Qt::red)) << bad;
  }
}

TEST_F(ControlKindsTest, WindowGeometryInItsOwnSection) {
  QWidget window;
  window.move(40, 50);
  window.resize(300, 200);
  SaveWindowGeometry(store_, window);
  EXPECT_EQ(store_.section(), G("JSON树"));  // the caller's section is kept
  EXPECT_EQ(store_.ListKeys(G("主界面.尺寸")),
            (std::vector<std::string>{G("高度"), G("宽度"), G("顶边"), G("左边"), G("位置")}));
  EXPECT_EQ(store_.ReadEntry(G("主界面.尺寸"), G("宽度")), "300");

  QWidget other;
  other.resize(10, 10);
  RestoreWindowGeometry(store_, other);
  EXPECT_EQ(other.size(), QSize(300, 200));
  EXPECT_EQ(other.pos(), QPoint(40, 50));

  window.setWindowState(Qt::WindowMaximized);
  SaveWindowGeometry(store_, window, G("对话框"));
  EXPECT_EQ(store_.ListKeys(G("对话框.尺寸")), std::vector<std::string>{G("位置")});
  EXPECT_EQ(store_.ReadEntry(G("对话框.尺寸"), G("位置")), "2");
  RestoreWindowGeometry(store_, other, G("对话框"));
  EXPECT_TRUE(other.windowState() & Qt::WindowMaximized);
}

}  // namespace
}  // namespace keelnode
