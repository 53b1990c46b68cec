#include "services/code_page.h"

#include <errno.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "services/iconv_handle.h"
#include "services/mbcs.h"

namespace keelnode {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEscapeBase = 0x10FE00;
constexpr uint32_t kFirstSupplementaryIndex = 189000;  // linear index of 90 30 81 30
constexpr uint32_t kBmpFourByteCount = 39420;

// Tables read off glibc's GB18030 converter once, so that conversions run
// without a call per character.
class Gb18030Tables {
 public:
  static const Gb18030Tables& Get() {
    static const Gb18030Tables tables;
    return tables;
  }

  // 0 when the pair is not a valid two-byte code.
  char32_t DecodePair(unsigned char lead, unsigned char trail) const {
    if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE || trail == 0x7F) return 0;
    return two_byte_[(lead - 0x81) * 191 + (trail - 0x40)];
  }

  // 0 when the four bytes (already checked for their ranges) are not valid.
  char32_t DecodeFour(const unsigned char* b) const {
    uint32_t index =
        (b[0] - 0x81) * 12600u + (b[1] - 0x30) * 1260u + (b[2] - 0x81) * 10u + (b[3] - 0x30);
    if (index < kBmpFourByteCount) return four_byte_bmp_[index];
    if (index >= kFirstSupplementaryIndex && index - kFirstSupplementaryIndex <= 0xFFFFF)
      return 0x10000 + (index - kFirstSupplementaryIndex);
    return 0;
  }

  void Encode(char32_t cp, std::string& out) const {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp >= 0x10000) {
      if (cp > 0x10FFFF) {
        out.push_back('?');
        return;
      }
      for (const auto& [code_point, code] : supplementary_two_byte_) {
        if (code_point == cp) {
          out.push_back(static_cast<char>(code >> 8));
          out.push_back(static_cast<char>(code & 0xFF));
          return;
        }
      }
      AppendFour(cp - 0x10000 + kFirstSupplementaryIndex, out);
    } else {
      uint32_t code = encode_bmp_[cp];
      if (code == 0) {
        out.push_back('?');
      } else if (code <= 0xFFFF) {
        out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
      } else {
        AppendFour(code - 0x10000, out);
      }
    }
  }

 private:
  Gb18030Tables() : two_byte_(126 * 191), four_byte_bmp_(kBmpFourByteCount), encode_bmp_(0x10000) {
    IconvHandle cd("UTF-32LE", "GB18030");
    auto decode = [&](const unsigned char* in, size_t len) -> char32_t {
      if (!cd.valid()) return 0;
      iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
      char* ip = reinterpret_cast<char*>(const_cast<unsigned char*>(in));
      unsigned char out[8];
      char* op = reinterpret_cast<char*>(out);
      size_t il = len, ol = sizeof out;
      if (iconv(cd.get(), &ip, &il, &op, &ol) == static_cast<size_t>(-1) || ol != 4) return 0;
      return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    };
    // Four-byte codes first, so that a code point reachable both ways is
    // encoded in its two-byte form.
    for (uint32_t i = 0; i < kBmpFourByteCount; ++i) {
      unsigned char b[4] = {static_cast<unsigned char>(0x81 + i / 12600),
                            static_cast<unsigned char>(0x30 + i / 1260 % 10),
                            static_cast<unsigned char>(0x81 + i / 10 % 126),
                            static_cast<unsigned char>(0x30 + i % 10)};
      char32_t cp = decode(b, 4);
      if (cp >= 0x10000) cp = 0;
      four_byte_bmp_[i] = static_cast<char16_t>(cp);
      if (cp >= 0x80) encode_bmp_[cp] = 0x10000 + i;
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        unsigned char b[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
        char32_t cp = decode(b, 2);
        two_byte_[(lead - 0x81) * 191 + (trail - 0x40)] = cp;
        uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
        if (cp >= 0x80 && cp < 0x10000) encode_bmp_[cp] = code;
        if (cp >= 0x10000) supplementary_two_byte_.emplace_back(cp, code);
      }
    }
  }

  static void AppendFour(uint32_t index, std::string& out) {
    out.push_back(static_cast<char>(0x81 + index / 12600));
    out.push_back(static_cast<char>(0x30 + index / 1260 % 10));
    out.push_back(static_cast<char>(0x81 + index / 10 % 126));
    out.push_back(static_cast<char>(0x30 + index % 10));
  }

  std::vector<char32_t> two_byte_;
  std::vector<char16_t> four_byte_bmp_;
  // 0: none; up to 0xFFFF: a two-byte code; from 0x10000: 0x10000 + four-byte index.
  std::vector<uint32_t> encode_bmp_;
  // The few characters beyond U+FFFF that also have a two-byte code (which
  // the encoder prefers, as glibc does).
  std::vector<std::pair<char32_t, uint16_t>> supplementary_two_byte_;
};

// Calls `emit(code_point, first_byte, byte_count, valid)` for every unit of
// `text`; an invalid unit is reported with valid = false.
template <typename Emit>
void DecodeGb18030(std::string_view text, Emit&& emit) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  const Gb18030Tables* tables = nullptr;
  size_t i = 0;
  while (i < n) {
    unsigned char b = bytes[i];
    if (b < 0x80) {
      emit(static_cast<char32_t>(b), i, 1, true);
      ++i;
      continue;
    }
    if (!tables) tables = &Gb18030Tables::Get();
    if (i + 1 >= n) {
      emit(0, i, 1, false);
      break;
    }
    unsigned char t = bytes[i + 1];
    if (n - i == 3 && CharacterLength(text, i) == 3) {
      // What the end left of a four-byte sequence: one character, as every
      // scan by character counts it.
      emit(0, i, 3, false);
      break;
    }
    if (t >= 0x30 && t <= 0x39 && i + 3 < n && b >= 0x81 && b <= 0xFE && bytes[i + 2] >= 0x81 &&
        bytes[i + 2] <= 0xFE && bytes[i + 3] >= 0x30 && bytes[i + 3] <= 0x39) {
      char32_t cp = tables->DecodeFour(bytes + i);
      if (cp != 0) {
        emit(cp, i, 4, true);
        i += 4;
        continue;
      }
    } else {
      char32_t cp = tables->DecodePair(b, t);
      if (cp != 0) {
        emit(cp, i, 2, true);
        i += 2;
        continue;
      }
    }
    emit(0, i, 2, false);
    i += 2;
  }
}

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | cp >> 6));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | cp >> 12));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | cp >> 18));
    out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `i`; returns its length, or 0 when invalid.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& cp) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  size_t len;
  char32_t min;
  if ((b & 0xE0) == 0xC0) {
    len = 2, cp = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    len = 3, cp = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    len = 4, cp = b & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (byte(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// Length of the run of ASCII bytes at the start of `text`.
size_t AsciiPrefix(std::string_view text) {
  const size_t n = text.size();
  size_t i = 0;
  // Eight bytes at a time while none has its top bit set.
  for (uint64_t word; i + 8 <= n; i += 8) {
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080ull) break;
  }
  while (i < n && static_cast<unsigned char>(text[i]) < 0x80)
    ++i;
  return i;
}

}  // namespace

void AppendGb18030AsUtf8(std::string_view text, std::string& out, InvalidBytes invalid) {
  while (!text.empty()) {
    // ASCII runs are the same bytes in both encodings.
    const size_t ascii = AsciiPrefix(text);
    out.append(text.data(), ascii);
    text.remove_prefix(ascii);
    if (text.empty()) return;
    // Then the multi-byte characters up to the next ASCII byte.
    size_t run = 0;
    while (run < text.size() && static_cast<unsigned char>(text[run]) >= 0x80)
      run += run + 1 < text.size() ? 2 : 1;
    if (run > text.size()) run = text.size();
    const std::string_view part = text.substr(0, run);
    DecodeGb18030(part, [&](char32_t cp, size_t at, size_t len, bool valid) {
      // A real character among the escape code points is escaped too, so
      // that it comes back as its own bytes.
      if (valid && invalid == InvalidBytes::kEscape && cp >= kEscapeBase &&
          cp <= kEscapeBase + 0xFF)
        valid = false;
      if (valid) {
        AppendUtf8(cp, out);
      } else if (invalid == InvalidBytes::kReplace) {
        AppendUtf8(kReplacement, out);
      } else {
        for (size_t k = 0; k < len; ++k)
          AppendUtf8(kEscapeBase + static_cast<unsigned char>(part[at + k]), out);
      }
    });
    text.remove_prefix(run);
  }
}

std::string Gb18030ToUtf8(std::string_view text, InvalidBytes invalid) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  AppendGb18030AsUtf8(text, out, invalid);
  return out;
}

std::string Utf8ToGb18030(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const Gb18030Tables* tables = nullptr;
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      const size_t ascii = AsciiPrefix(utf8.substr(i));
      out.append(utf8.data() + i, ascii);
      i += ascii;
      continue;
    }
    char32_t cp;
    size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    i += len;
    if (cp >= kEscapeBase && cp <= kEscapeBase + 0xFF) {
      out.push_back(static_cast<char>(cp - kEscapeBase));
      continue;
    }
    if (!tables) tables = &Gb18030Tables::Get();
    tables->Encode(cp, out);
  }
  return out;
}

std::u16string Gb18030ToUtf16(std::string_view text, std::vector<size_t>* sources) {
  std::u16string out;
  out.reserve(text.size());
  if (sources) sources->clear();
  DecodeGb18030(text, [&](char32_t cp, size_t at, size_t, bool valid) {
    if (!valid) cp = kReplacement;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
      if (sources) sources->insert(sources->end(), 2, at);
    } else {
      out.push_back(static_cast<char16_t>(cp));
      if (sources) sources->push_back(at);
    }
  });
  return out;
}

std::string Utf16ToGb18030(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  const Gb18030Tables* tables = nullptr;
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      out.push_back('?');
      continue;
    }
    if (!tables) tables = &Gb18030Tables::Get();
    tables->Encode(cp, out);
  }
  return out;
}

std::string CodePointToGb18030(char32_t code_point) {
  if (code_point >= 0xD800 && code_point <= 0xDFFF) return "?";
  std::string out;
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
  } else {
    Gb18030Tables::Get().Encode(code_point, out);
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      i += AsciiPrefix(bytes.substr(i));
      continue;
    }
    char32_t cp;
    size_t len = DecodeUtf8(bytes, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string_view CutAtZero(std::string_view bytes) {
  size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

std::optional<std::string> ConvertCharset(std::string_view bytes, const char* from,
                                          const char* to) {
  IconvHandle cd(to, from);
  if (!cd.valid()) return std::nullopt;
  std::string out;
  out.resize(bytes.size() * 2 + 16);
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  size_t used = 0;
  while (true) {
    char* op = out.data() + used;
    size_t out_left = out.size() - used;
    size_t r = iconv(cd.get(), in_left ? &in : nullptr, &in_left, &op, &out_left);
    used = out.size() - out_left;
    if (r != static_cast<size_t>(-1)) {
      if (in_left == 0) break;
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    return std::nullopt;  // EILSEQ or EINVAL: not valid in `from`
  }
  out.resize(used);
  return out;
}

}  // namespace keelnode
