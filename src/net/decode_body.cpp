#include "net/decode_body.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

#include "net/charset_conversion.h"
#include "net/gzip_inflate.h"
#include "net/meta_charset.h"
#include "net/utf8_sniff.h"
#include "services/code_page.h"

namespace keelnode {
namespace {

// Decompressed bodies and files read in are held to the same bound as a
// response, so a small gzip body cannot grow without limit.
constexpr uint64_t kMaxBytes = uint64_t{1} << 30;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

const char* conversionName(CharsetMode mode) {
  switch (mode) {
    case CharsetMode::Utf8:
      return "UTF-8";
    case CharsetMode::Utf16Le:
      return "UTF-16LE";
    case CharsetMode::Utf16Be:
      return "UTF-16BE";
    case CharsetMode::Big5:
      return "BIG5";
    case CharsetMode::Big5Hkscs:
      return "BIG5-HKSCS";
    default:
      return nullptr;
  }
}

// The part a meta search may see: text ends at a NUL or a DOS end-of-file.
std::string_view asSearchText(std::string_view data) {
  // Two memchr scans beat one find_first_of over a large body.
  return data.substr(0, std::min(data.find('\0'), data.find('\x1A')));
}

// Where the text proper starts, and the mode in force, once marks and
// declarations have been looked at.
size_t detect(std::string_view data, CharsetMode given, CharsetMode& mode) {
  mode = given;
  switch (given) {
    case CharsetMode::Auto:
      if (data.starts_with(kUtf8Mark)) {
        mode = CharsetMode::Utf8;
        return kUtf8Mark.size();
      }
      if (data.starts_with(kUtf16LeMark)) {
        mode = CharsetMode::Utf16Le;
        return kUtf16LeMark.size();
      }
      if (data.starts_with(kUtf16BeMark)) {
        mode = CharsetMode::Utf16Be;
        return kUtf16BeMark.size();
      }
      mode = findMetaCharset(asSearchText(data)).value_or(CharsetMode::Auto);
      return 0;
    // A mark is skipped only when it is there: text without one keeps its
    // first character.
    case CharsetMode::Utf8:
      return data.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
    case CharsetMode::Utf16Le:
      return data.starts_with(kUtf16LeMark) ? kUtf16LeMark.size() : 0;
    case CharsetMode::Utf16Be:
      return data.starts_with(kUtf16BeMark) ? kUtf16BeMark.size() : 0;
    default:
      return 0;
  }
}

std::optional<std::string> readFile(std::string_view fileName) {
  std::ifstream file(Gb18030ToUtf8(fileName), std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  const std::streamoff size = file.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > kMaxBytes) return std::nullopt;
  std::string content(static_cast<size_t>(size), '\0');
  file.seekg(0);
  if (!file.read(content.data(), size)) return std::nullopt;
  return content;
}

// A corrupt gzip stream is shown as the bytes it is; one that inflates past
// `maxText` is refused rather than shown as compressed bytes.
Result<std::string, FetchFailure> decodeData(std::string_view data, CharsetMode given,
                                             CharsetMode& mode, uint64_t maxText) {
  std::string inflated;
  if (hasGzipMagic(data)) {
    Result<std::string, GunzipFailure> plain = gunzip(data, maxText);
    if (plain) {
      inflated = std::move(plain).value();
      data = inflated;
    } else if (plain.error() == GunzipFailure::kTooLarge) {
      return Fail(FetchFailure::kTooLarge);
    }
  }
  const std::string_view rest = data.substr(detect(data, given, mode));
  if (mode == CharsetMode::Auto && passesUtf8Test(rest)) mode = CharsetMode::Utf8;
  std::string text;
  if (const char* charset = conversionName(mode); charset && !rest.empty())
    text = convertToProgramText(rest, charset).value_or(std::string());
  if (text.empty()) {
    text = CutAtZero(data);
    mode = CharsetMode::Ansi;
  }
  return text;
}

}  // namespace

std::string decodeBody(std::string_view fileName, CharsetMode mode, CharsetMode& detectedMode,
                       std::string& text, std::string_view bytes, std::string_view sourceText) {
  detectedMode = mode;
  if (!fileName.empty()) {
    std::optional<std::string> content = readFile(fileName);
    text = content ? decodeData(*content, mode, detectedMode, kMaxBytes).value_or(std::string())
                   : std::string();
  } else {
    text = decodeData(bytes.empty() ? sourceText : bytes, mode, detectedMode, kMaxBytes)
               .value_or(std::string());
  }
  return text;
}

std::string decodeBody(std::string_view bytes, CharsetMode mode, CharsetMode* detectedMode) {
  CharsetMode used = mode;
  std::string text = decodeData(bytes, mode, used, kMaxBytes).value_or(std::string());
  if (detectedMode) *detectedMode = used;
  return text;
}

Result<std::string, FetchFailure> decodeFetchedBody(std::string_view bytes, CharsetMode& mode,
                                                    uint64_t maxTextBytes) {
  return decodeData(bytes, mode, mode, std::min(maxTextBytes, kMaxBytes));
}

}  // namespace keelnode
