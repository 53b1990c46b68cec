#include "viewer/program_text.h"

#include "services/code_page.h"
#include "services/mbcs.h"

namespace keelnode {

QString ToQString(std::string_view text) {
  std::u16string utf16 = Gb18030ToUtf16(text);
  return QString(reinterpret_cast<const QChar*>(utf16.data()),
                 static_cast<qsizetype>(utf16.size()));
}

std::string FromQString(const QString& text) {
  return Utf16ToGb18030(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

std::string ProgramText(std::string_view utf8) {
  return Utf8ToGb18030(utf8);
}

std::string_view PrefixWithin(std::string_view text, size_t bytes) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t step = CharacterLength(text, end);
    if (end + step > bytes) break;
    end += step;
  }
  return text.substr(0, end);
}

std::string FromMultiLineQString(const QString& text) {
  QString crlf = text;
  crlf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return FromQString(crlf);
}

}  // namespace keelnode
