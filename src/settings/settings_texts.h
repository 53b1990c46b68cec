// Fixed texts of the settings store, as bytes in the program's code page
// (GB18030).
#pragma once

#include <string_view>

namespace keelnode::settings_text {

inline constexpr std::string_view kTrue = "\xD5\xE6";                            // 真
inline constexpr std::string_view kFalse = "\xBC\xD9";                           // 假
inline constexpr std::string_view kLineBreakMark = "\xA9\xAE*\xA9\xAE";          // ┊*┊
inline constexpr std::string_view kCaption = "\xE1\xB0\xCF\xAA\xA3\xBA";         // 岚溪：
inline constexpr std::string_view kToolkitCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：
// 配置模块出现意外，可能导致无法正常保存！详情请咨询岚溪。
inline constexpr std::string_view kStoreFailure =
    "\xC5\xE4\xD6\xC3\xC4\xA3\xBF\xE9\xB3\xF6\xCF\xD6\xD2\xE2\xCD\xE2\xA3\xAC\xBF\xC9\xC4\xDC"
    "\xB5\xBC\xD6\xC2\xCE\xDE\xB7\xA8\xD5\xFD\xB3\xA3\xB1\xA3\xB4\xE6\xA3\xA1\xCF\xEA\xC7\xE9"
    "\xC7\xEB\xD7\xC9\xD1\xAF\xE1\xB0\xCF\xAA\xA1\xA3";
inline constexpr std::string_view kRegistryRoot = "\xE1\xB0\xCF\xAA\xC8\xED\xBC\xFE";  // 岚溪软件

}  // namespace keelnode::settings_text
