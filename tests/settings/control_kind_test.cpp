#include "settings/controls/control_kind.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/controls/list_items.h"
#include "test_support.h"

namespace keelnode {
namespace {

using testing::G;

TEST(ControlKindTest, NamePrefixesDecideTheKindInTableOrder) {
  EXPECT_EQ(KindFromName(G("按钮粘贴")), ControlKind::kButton);
  EXPECT_EQ(KindFromName(G("编辑框")), ControlKind::kEditBox);  // the prefix alone
  EXPECT_EQ(KindFromName(G("编辑")), ControlKind::kNone);
  EXPECT_EQ(KindFromName(G("选择框窗口置顶")), ControlKind::kCheckBox);
  EXPECT_EQ(KindFromName(G("单选框正则")), ControlKind::kRadioButton);
  EXPECT_EQ(KindFromName(G("组合框1")), ControlKind::kComboBox);
  EXPECT_EQ(KindFromName(G("列表框1")), ControlKind::kListBox);
  EXPECT_EQ(KindFromName(G("选择列表框1")), ControlKind::kCheckedListBox);
  EXPECT_EQ(KindFromName(G("颜色选择器1")), ControlKind::kColourPicker);
  for (const char* other : {"选择夹", "树型框", "树型框7", "标签1", "图片框1", "外形框1",
                            "时钟官网", "链接软件主页", "按", ""}) {
    EXPECT_EQ(KindFromName(G(other)), ControlKind::kNone) << other;
  }
}

TEST(ControlKindTest, EligibilityChecksExclusionPrefixAndExactNoSaveTag) {
  const std::vector<std::string> none;
  const std::vector<std::string> excluded{G("编辑框1")};
  EXPECT_EQ(EligibleKind(G("编辑框1"), "", none), ControlKind::kEditBox);
  EXPECT_EQ(EligibleKind(G("编辑框1"), "", excluded), ControlKind::kNone);
  EXPECT_EQ(EligibleKind(G("编辑框12"), "", excluded), ControlKind::kEditBox);
  EXPECT_EQ(EligibleKind(G("编辑框1"), G("禁止保存"), none), ControlKind::kNone);
  EXPECT_EQ(EligibleKind(G("编辑框1"), G("禁止保存 "), none), ControlKind::kEditBox);
  EXPECT_EQ(EligibleKind(G("编辑框1"), G("请禁止保存"), none), ControlKind::kEditBox);
  EXPECT_EQ(EligibleKind("", "", none), ControlKind::kNone);
  EXPECT_TRUE(IsByteModeTag(G("字节集方式")));
  EXPECT_FALSE(IsByteModeTag(G("字节集方式2")));
}

TEST(ListItemsTest, ItemsRoundTripIncludingEmptyOnesAndEmptyLists) {
  for (const std::vector<std::string>& items :
       {std::vector<std::string>{}, std::vector<std::string>{""},
        std::vector<std::string>{G("甲"), "", "b\r\nc"}}) {
    const std::string bytes = EncodeListItems(items);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(DecodeListItems(bytes), items);
  }
  EXPECT_EQ(EncodeListItems({"a", "bc"}), std::string("\x02\0\0\0a\0bc\0", 9));
  EXPECT_EQ(EncodeListItems({std::string("x\0y", 3)}), std::string("\x01\0\0\0x\0", 6));
}

TEST(ListItemsTest, BytesInAnotherFormAreRejected) {
  for (const std::string& bad :
       {std::string(), std::string("\x01\0\0", 3), std::string("\x02\0\0\0a\0", 6),
        std::string("\x01\0\0\0a", 5), std::string("\x01\0\0\0a\0b", 7),
        std::string("\xff\xff\xff\xff", 4)}) {
    EXPECT_FALSE(DecodeListItems(bad)) << bad.size();
  }
}

}  // namespace
}  // namespace keelnode
