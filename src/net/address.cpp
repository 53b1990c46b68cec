#include "net/address.h"

#include <algorithm>

#include "services/ascii_case.h"
#include "services/code_page.h"
#include "services/mbcs.h"

namespace keelnode {
namespace {

constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

bool isBlankUnit(std::string_view text, size_t pos, size_t length) {
  if (length == 2) return text.substr(pos, 2) == kFullWidthSpace;
  const char c = text[pos];
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool needsEscape(unsigned char c) {
  return c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>';
}

}  // namespace

std::string_view trimAddress(std::string_view address) {
  // Stepping by characters keeps the second byte of one from being taken
  // for the start of a full-width space.
  size_t begin = 0;
  size_t end = 0;  // end of the last non-blank character
  bool leading = true;
  for (size_t pos = 0; pos < address.size();) {
    const size_t length = UnitLength(address, pos);
    if (!isBlankUnit(address, pos, length)) {
      if (leading) begin = pos;
      leading = false;
      end = pos + length;
    }
    pos += length;
  }
  return leading ? std::string_view() : address.substr(begin, end - begin);
}

std::string_view withoutFragment(std::string_view address) {
  return address.substr(0, FindAsciiByte(address, '#'));
}

bool hasWebScheme(std::string_view address) {
  return StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://");
}

std::string withWebScheme(std::string_view address) {
  return hasWebScheme(address) ? std::string(address) : "http://" + std::string(address);
}

std::string toWireAddress(std::string_view address) {
  const std::string utf8 = Gb18030ToUtf8(address);
  const size_t scheme = utf8.find("://");
  const size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
  const size_t hostEnd = std::min(utf8.find_first_of("/?#", hostStart), utf8.size());
  // "user:password@" never reaches the wire: libcurl would send it as Basic
  // credentials, in clear on the plain road, and the Referer would carry it.
  const size_t at = utf8.rfind('@', hostEnd == 0 ? 0 : hostEnd - 1);
  const size_t authority = at == std::string::npos || at < hostStart ? hostStart : at + 1;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string wire = utf8.substr(0, hostStart) + utf8.substr(authority, hostEnd - authority);
  for (size_t i = hostEnd; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (needsEscape(c)) {
      wire += '%';
      wire += kHex[c >> 4];
      wire += kHex[c & 15];
    } else {
      wire += static_cast<char>(c);
    }
  }
  return wire;
}

}  // namespace keelnode
