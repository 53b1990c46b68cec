// Fixed texts of control-state persistence, as GB18030 bytes.
#pragma once

#include <string_view>

namespace keelnode::control_text {

inline constexpr std::string_view kButton = "\xB0\xB4\xC5\xA5";               // 按钮
inline constexpr std::string_view kEditBox = "\xB1\xE0\xBC\xAD\xBF\xF2";      // 编辑框
inline constexpr std::string_view kCheckBox = "\xD1\xA1\xD4\xF1\xBF\xF2";     // 选择框
inline constexpr std::string_view kRadioButton = "\xB5\xA5\xD1\xA1\xBF\xF2";  // 单选框
inline constexpr std::string_view kComboBox = "\xD7\xE9\xBA\xCF\xBF\xF2";     // 组合框
inline constexpr std::string_view kListBox = "\xC1\xD0\xB1\xED\xBF\xF2";      // 列表框
inline constexpr std::string_view kCheckedListBox =
    "\xD1\xA1\xD4\xF1\xC1\xD0\xB1\xED\xBF\xF2";  // 选择列表框
inline constexpr std::string_view kColourPicker =
    "\xD1\xD5\xC9\xAB\xD1\xA1\xD4\xF1\xC6\xF7";  // 颜色选择器

inline constexpr std::string_view kTagNoSave = "\xBD\xFB\xD6\xB9\xB1\xA3\xB4\xE6";  // 禁止保存
inline constexpr std::string_view kTagByteMode =
    "\xD7\xD6\xBD\xDA\xBC\xAF\xB7\xBD\xCA\xBD";  // 字节集方式

inline constexpr std::string_view kTagSuffix = ".\xB1\xEA\xBC\xC7";       // .标记
inline constexpr std::string_view kItemsSuffix = ".\xC1\xD0\xB1\xED";     // .列表
inline constexpr std::string_view kTextSuffix = ".\xC4\xDA\xC8\xDD";      // .内容
inline constexpr std::string_view kSelectedSuffix = ".\xD1\xA1\xD6\xD0";  // .选中
inline constexpr std::string_view kCheckedSuffix = ".\xB4\xF2\xB9\xB4";   // .打勾

inline constexpr std::string_view kMainWindow = "\xD6\xF7\xBD\xE7\xC3\xE6";  // 主界面
inline constexpr std::string_view kSizeSuffix = ".\xB3\xDF\xB4\xE7";         // .尺寸
inline constexpr std::string_view kState = "\xCE\xBB\xD6\xC3";               // 位置
inline constexpr std::string_view kLeft = "\xD7\xF3\xB1\xDF";                // 左边
inline constexpr std::string_view kTop = "\xB6\xA5\xB1\xDF";                 // 顶边
inline constexpr std::string_view kWidth = "\xBF\xED\xB6\xC8";               // 宽度
inline constexpr std::string_view kHeight = "\xB8\xDF\xB6\xC8";              // 高度

}  // namespace keelnode::control_text
