#include "settings/controls/control_kind.h"

#include <algorithm>
#include <utility>

#include "settings/controls/control_texts.h"

namespace keelnode {

ControlKind KindFromName(std::string_view name) {
  // Tested in this order; the first match decides. "选择列表框" begins with
  // "选择" + the first character of "列表框", so the shorter prefixes before
  // it do not catch it.
  static constexpr std::pair<std::string_view, ControlKind> kPrefixes[] = {
      {control_text::kButton, ControlKind::kButton},
      {control_text::kEditBox, ControlKind::kEditBox},
      {control_text::kCheckBox, ControlKind::kCheckBox},
      {control_text::kRadioButton, ControlKind::kRadioButton},
      {control_text::kComboBox, ControlKind::kComboBox},
      {control_text::kListBox, ControlKind::kListBox},
      {control_text::kCheckedListBox, ControlKind::kCheckedListBox},
      {control_text::kColourPicker, ControlKind::kColourPicker},
  };
  for (const auto& [prefix, kind] : kPrefixes) {
    if (name.starts_with(prefix)) return kind;
  }
  return ControlKind::kNone;
}

ControlKind EligibleKind(std::string_view name, std::string_view tag,
                         std::span<const std::string> excluded) {
  if (name.empty() || std::find(excluded.begin(), excluded.end(), name) != excluded.end()) {
    return ControlKind::kNone;
  }
  ControlKind kind = KindFromName(name);
  if (kind == ControlKind::kNone || tag == control_text::kTagNoSave) return ControlKind::kNone;
  return kind;
}

bool IsByteModeTag(std::string_view tag) {
  return tag == control_text::kTagByteMode;
}

}  // namespace keelnode
