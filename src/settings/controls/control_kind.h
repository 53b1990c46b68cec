// Which controls of a window take part in saving and restoring control
// states, decided from their names and tags alone.
//
// A control's kind is the first of these name prefixes (GB18030 bytes, in
// this order) that its name begins with: "按钮" button, "编辑框" edit box,
// "选择框" check box, "单选框" radio button, "组合框" combo box, "列表框"
// list box, "选择列表框" checked list box, "颜色选择器" colour picker.
// Trees, tabs, labels and everything else match none.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace keelnode {

enum class ControlKind {
  kNone,
  kButton,
  kEditBox,
  kCheckBox,
  kRadioButton,
  kComboBox,
  kListBox,
  kCheckedListBox,
  kColourPicker,
};

ControlKind KindFromName(std::string_view name);

// The kind a control takes part as, kNone when it is skipped: an empty or
// excluded name, no kind prefix, or the tag exactly "禁止保存" (a tag that
// merely contains it does not count).
ControlKind EligibleKind(std::string_view name, std::string_view tag,
                         std::span<const std::string> excluded);

// Buttons and edit boxes tagged exactly "字节集方式" keep their value in a
// side file instead of the ini text.
bool IsByteModeTag(std::string_view tag);

}  // namespace keelnode
