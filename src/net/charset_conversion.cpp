#include "net/charset_conversion.h"

#include <errno.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "services/code_page.h"
#include "services/iconv_handle.h"
#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

bool startsWith(const char* name, const char* prefix) {
  return strncasecmp(name, prefix, std::strlen(prefix)) == 0;
}

// Bytes to step over at an invalid sequence: a whole code unit, or for the
// double-byte charsets a lead byte together with its trail byte, so that
// the trail byte is not read as an ASCII character.
size_t invalidLength(const char* charset, std::string_view rest) {
  if (startsWith(charset, "UTF-16") || startsWith(charset, "UCS-2")) return 2;
  if (startsWith(charset, "UTF-32") || startsWith(charset, "UCS-4")) return 4;
  const bool doubleByte = startsWith(charset, "BIG5") || startsWith(charset, "GB") ||
                          startsWith(charset, "CP9") || startsWith(charset, "EUC") ||
                          startsWith(charset, "SHIFT");
  if (doubleByte && rest.size() >= 2 && static_cast<unsigned char>(rest[0]) >= 0x81 &&
      static_cast<unsigned char>(rest[1]) >= 0x40)
    return 2;
  return 1;
}

// Collects UTF-16 code units and turns them into GB18030, holding back a
// high surrogate until its partner arrives, and stopping at U+0000.
class Gb18030Sink {
 public:
  void add(std::u16string_view units) {
    if (ended_) return;
    pending_.append(units);
    const size_t zero = pending_.find(u'\0');
    if (zero != std::u16string::npos) {
      pending_.resize(zero);
      ended_ = true;
      flush();
      return;
    }
    size_t keep = 0;
    if (!pending_.empty() && pending_.back() >= 0xD800 && pending_.back() <= 0xDBFF) keep = 1;
    out_ += Utf16ToGb18030(std::u16string_view(pending_).substr(0, pending_.size() - keep));
    pending_.erase(0, pending_.size() - keep);
  }
  void flush() {
    out_ += Utf16ToGb18030(pending_);
    pending_.clear();
  }
  bool ended() const { return ended_; }
  std::string take() { return std::move(out_); }

 private:
  std::u16string pending_;
  std::string out_;
  bool ended_ = false;
};

}  // namespace

std::optional<std::string> convertToProgramText(std::string_view bytes, const char* charset) {
  IconvHandle cd("UTF-16LE", charset);
  if (!cd.valid()) return std::nullopt;
  Gb18030Sink sink;
  std::array<char, 64 * 1024> buffer;
  std::u16string units;
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (!sink.ended()) {
    char* out = buffer.data();
    size_t outLeft = buffer.size();
    // With no input left, one more call lets a stateful decoder hand over
    // what it still holds.
    const bool final = inLeft == 0;
    const size_t r = final ? iconv(cd.get(), nullptr, nullptr, &out, &outLeft)
                           : iconv(cd.get(), &in, &inLeft, &out, &outLeft);
    const int error = r == static_cast<size_t>(-1) ? errno : 0;
    const size_t produced = (buffer.size() - outLeft) / 2;
    units.resize(produced);
    for (size_t k = 0; k < produced; ++k) {
      units[k] = static_cast<char16_t>(static_cast<unsigned char>(buffer[2 * k]) |
                                       static_cast<unsigned char>(buffer[2 * k + 1]) << 8);
    }
    if (error == EILSEQ || error == EINVAL) {
      // An invalid sequence, or (EINVAL) an incomplete one at the very end.
      units.push_back(u'?');
      const size_t skip =
          error == EINVAL ? inLeft : std::min(inLeft, invalidLength(charset, {in, inLeft}));
      in += skip;
      inLeft -= skip;
    } else if (error != 0 && error != E2BIG) {
      return std::nullopt;
    }
    sink.add(units);
    yieldToUi();
    if (final && error == 0) break;
  }
  sink.flush();
  return sink.take();
}

}  // namespace keelnode
