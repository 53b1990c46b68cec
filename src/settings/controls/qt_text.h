// Crossing between Qt's UTF-16 strings and the program's GB18030 texts.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "services/code_page.h"

namespace keelnode {

inline std::string ToProgramText(const QString& text) {
  return Utf16ToGb18030(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

inline QString FromProgramText(std::string_view text) {
  const std::u16string utf16 = Gb18030ToUtf16(text);
  return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

}  // namespace keelnode
