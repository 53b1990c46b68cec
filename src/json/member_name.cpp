#include "json/member_name.h"

#include "json/text_preparation.h"
#include "services/code_page.h"
#include "services/mbcs.h"

namespace keelnode {

int HexQuad(std::string_view text, size_t pos) {
  if (pos + 4 > text.size()) return -1;
  int value = 0;
  for (size_t i = pos; i < pos + 4; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return -1;
    }
    value = value * 16 + digit;
  }
  return value;
}

void AppendCodePoint(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else {
    out.append(CodePointToGb18030(cp));
  }
}

std::string DecodeMemberName(std::string_view raw) {
  const std::string restored = RestoreEscapedQuotes(raw);
  const std::string_view text = restored;
  if (FindAsciiByte(text, '\\') == std::string_view::npos) return restored;
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t len = UnitLength(text, i);
    if (len != 1 || text[i] != '\\' || i + 1 >= text.size()) {
      out.append(text.substr(i, len));
      i += len;
      continue;
    }
    const char e = text[i + 1];
    const char* simple = nullptr;
    switch (e) {
      case '"':
        simple = "\"";
        break;
      case '\\':
        simple = "\\";
        break;
      case '/':
        simple = "/";
        break;
      case 'b':
        simple = "\b";
        break;
      case 'f':
        simple = "\f";
        break;
      case 'n':
        simple = "\n";
        break;
      case 'r':
        simple = "\r";
        break;
      case 't':
        simple = "\t";
        break;
      default:
        break;
    }
    if (simple != nullptr) {
      out.append(simple);
      i += 2;
      continue;
    }
    const int unit = e == 'u' ? HexQuad(text, i + 2) : -1;
    if (unit < 0) {
      // Not an escape JSON knows: kept as written.
      out.push_back('\\');
      ++i;
      continue;
    }
    i += 6;
    char32_t cp = static_cast<char32_t>(unit);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i] == '\\' &&
        text[i + 1] == 'u') {
      const int low = HexQuad(text, i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
             (static_cast<char32_t>(low) - 0xDC00);
        i += 6;
      }
    }
    AppendCodePoint(cp, out);
  }
  return out;
}

}  // namespace keelnode
