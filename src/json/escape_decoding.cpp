#include "json/escape_decoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "services/code_page.h"
#include "services/mbcs.h"

// The decoders, made safe:
// - Scans go by units (services/mbcs.h): a backslash, "&" or ";" that is the
//   second byte of a multi-byte character is never taken for one.
// - "\u" needs four ASCII bytes; the text between "&" and ";" must be ASCII.
// - "\u" codes are UTF-16 units (low 16 bits); a high surrogate escape
//   followed directly by a low surrogate escape is one character; a lone
//   surrogate becomes "?". Numeric references decode up to U+10FFFF; larger
//   ones stay as written. A decimal reference is digits only.
// - After a decoded sequence the search goes on after it.
// - Decoded characters are kept as themselves (GB18030 has them all).
namespace keelnode {
namespace {

constexpr size_t npos = std::string_view::npos;
constexpr int64_t kMaxCodePoint = 0x10FFFF;

struct Entity {
  std::string_view name;
  char32_t code;
};

// HTML 4.01's named character references in the standard's order; "nbsp"
// decodes to a plain space.
constexpr std::array<Entity, 252> kEntityTable = {{
    {"nbsp", 32},     {"iexcl", 161},    {"cent", 162},    {"pound", 163},   {"curren", 164},
    {"yen", 165},     {"brvbar", 166},   {"sect", 167},    {"uml", 168},     {"copy", 169},
    {"ordf", 170},    {"laquo", 171},    {"not", 172},     {"shy", 173},     {"reg", 174},
    {"macr", 175},    {"deg", 176},      {"plusmn", 177},  {"sup2", 178},    {"sup3", 179},
    {"acute", 180},   {"micro", 181},    {"para", 182},    {"middot", 183},  {"cedil", 184},
    {"sup1", 185},    {"ordm", 186},     {"raquo", 187},   {"frac14", 188},  {"frac12", 189},
    {"frac34", 190},  {"iquest", 191},   {"Agrave", 192},  {"Aacute", 193},  {"Acirc", 194},
    {"Atilde", 195},  {"Auml", 196},     {"Aring", 197},   {"AElig", 198},   {"Ccedil", 199},
    {"Egrave", 200},  {"Eacute", 201},   {"Ecirc", 202},   {"Euml", 203},    {"Igrave", 204},
    {"Iacute", 205},  {"Icirc", 206},    {"Iuml", 207},    {"ETH", 208},     {"Ntilde", 209},
    {"Ograve", 210},  {"Oacute", 211},   {"Ocirc", 212},   {"Otilde", 213},  {"Ouml", 214},
    {"times", 215},   {"Oslash", 216},   {"Ugrave", 217},  {"Uacute", 218},  {"Ucirc", 219},
    {"Uuml", 220},    {"Yacute", 221},   {"THORN", 222},   {"szlig", 223},   {"agrave", 224},
    {"aacute", 225},  {"acirc", 226},    {"atilde", 227},  {"auml", 228},    {"aring", 229},
    {"aelig", 230},   {"ccedil", 231},   {"egrave", 232},  {"eacute", 233},  {"ecirc", 234},
    {"euml", 235},    {"igrave", 236},   {"iacute", 237},  {"icirc", 238},   {"iuml", 239},
    {"eth", 240},     {"ntilde", 241},   {"ograve", 242},  {"oacute", 243},  {"ocirc", 244},
    {"otilde", 245},  {"ouml", 246},     {"divide", 247},  {"oslash", 248},  {"ugrave", 249},
    {"uacute", 250},  {"ucirc", 251},    {"uuml", 252},    {"yacute", 253},  {"thorn", 254},
    {"yuml", 255},    {"fnof", 402},     {"Alpha", 913},   {"Beta", 914},    {"Gamma", 915},
    {"Delta", 916},   {"Epsilon", 917},  {"Zeta", 918},    {"Eta", 919},     {"Theta", 920},
    {"Iota", 921},    {"Kappa", 922},    {"Lambda", 923},  {"Mu", 924},      {"Nu", 925},
    {"Xi", 926},      {"Omicron", 927},  {"Pi", 928},      {"Rho", 929},     {"Sigma", 931},
    {"Tau", 932},     {"Upsilon", 933},  {"Phi", 934},     {"Chi", 935},     {"Psi", 936},
    {"Omega", 937},   {"alpha", 945},    {"beta", 946},    {"gamma", 947},   {"delta", 948},
    {"epsilon", 949}, {"zeta", 950},     {"eta", 951},     {"theta", 952},   {"iota", 953},
    {"kappa", 954},   {"lambda", 955},   {"mu", 956},      {"nu", 957},      {"xi", 958},
    {"omicron", 959}, {"pi", 960},       {"rho", 961},     {"sigmaf", 962},  {"sigma", 963},
    {"tau", 964},     {"upsilon", 965},  {"phi", 966},     {"chi", 967},     {"psi", 968},
    {"omega", 969},   {"thetasym", 977}, {"upsih", 978},   {"piv", 982},     {"bull", 8226},
    {"hellip", 8230}, {"prime", 8242},   {"Prime", 8243},  {"oline", 8254},  {"frasl", 8260},
    {"weierp", 8472}, {"image", 8465},   {"real", 8476},   {"trade", 8482},  {"alefsym", 8501},
    {"larr", 8592},   {"uarr", 8593},    {"rarr", 8594},   {"darr", 8595},   {"harr", 8596},
    {"crarr", 8629},  {"lArr", 8656},    {"uArr", 8657},   {"rArr", 8658},   {"dArr", 8659},
    {"hArr", 8660},   {"forall", 8704},  {"part", 8706},   {"exist", 8707},  {"empty", 8709},
    {"nabla", 8711},  {"isin", 8712},    {"notin", 8713},  {"ni", 8715},     {"prod", 8719},
    {"sum", 8721},    {"minus", 8722},   {"lowast", 8727}, {"radic", 8730},  {"prop", 8733},
    {"infin", 8734},  {"ang", 8736},     {"and", 8743},    {"or", 8744},     {"cap", 8745},
    {"cup", 8746},    {"int", 8747},     {"there4", 8756}, {"sim", 8764},    {"cong", 8773},
    {"asymp", 8776},  {"ne", 8800},      {"equiv", 8801},  {"le", 8804},     {"ge", 8805},
    {"sub", 8834},    {"sup", 8835},     {"nsub", 8836},   {"sube", 8838},   {"supe", 8839},
    {"oplus", 8853},  {"otimes", 8855},  {"perp", 8869},   {"sdot", 8901},   {"lceil", 8968},
    {"rceil", 8969},  {"lfloor", 8970},  {"rfloor", 8971}, {"lang", 9001},   {"rang", 9002},
    {"loz", 9674},    {"spades", 9824},  {"clubs", 9827},  {"hearts", 9829}, {"diams", 9830},
    {"quot", 34},     {"amp", 38},       {"lt", 60},       {"gt", 62},       {"OElig", 338},
    {"oelig", 339},   {"Scaron", 352},   {"scaron", 353},  {"Yuml", 376},    {"circ", 710},
    {"tilde", 732},   {"ensp", 8194},    {"emsp", 8195},   {"thinsp", 8201}, {"zwnj", 8204},
    {"zwj", 8205},    {"lrm", 8206},     {"rlm", 8207},    {"ndash", 8211},  {"mdash", 8212},
    {"lsquo", 8216},  {"rsquo", 8217},   {"sbquo", 8218},  {"ldquo", 8220},  {"rdquo", 8221},
    {"bdquo", 8222},  {"dagger", 8224},  {"Dagger", 8225}, {"permil", 8240}, {"lsaquo", 8249},
    {"rsaquo", 8250}, {"euro", 8364},
}};

constexpr size_t kLongestEntityName = 8;  // "thetasym"
static_assert(std::max_element(kEntityTable.begin(), kEntityTable.end(),
                               [](const Entity& a, const Entity& b) {
                                 return a.name.size() < b.name.size();
                               })
                  ->name.size() == kLongestEntityName);

// The code of the first table entry named exactly `name`; -1 if none.
int64_t LookUpEntity(std::string_view name) {
  // A longer body names nothing; it is not even hashed.
  if (name.size() > kLongestEntityName) return -1;
  static const std::unordered_map<std::string_view, char32_t> index = [] {
    std::unordered_map<std::string_view, char32_t> map;
    map.reserve(kEntityTable.size() * 2);
    for (const Entity& entity : kEntityTable)
      map.emplace(entity.name, entity.code);  // first wins
    return map;
  }();
  auto it = index.find(name);
  return it == index.end() ? -1 : static_cast<int64_t>(it->second);
}

bool IsAsciiText(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The UTF-16 unit of the escape "\uXXXX" at `p` (the backslash), or -1 when
// there is none: the "u" must be lowercase and the four bytes after it
// ASCII. A unit of 0 is returned as 0 (not an escape either).
int32_t UnitAt(std::string_view text, size_t p) {
  if (p + 6 > text.size() || text[p] != '\\' || text[p + 1] != 'u') return -1;
  std::string_view digits = text.substr(p + 2, 4);
  if (!IsAsciiText(digits)) return -1;
  return static_cast<int32_t>(parseInBase(digits, 16) & 0xFFFF);
}

bool IsHighSurrogate(int32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(int32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Backslash-quote becomes a quote and backslash-slash a slash, unit by unit.
std::string ReplaceOtherEscapes(std::string_view text) {
  if (text.find('\\') == npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t len = UnitLength(text, i);
    if (len == 1 && text[i] == '\\' && i + 1 < text.size() &&
        (text[i + 1] == '"' || text[i + 1] == '/')) {
      out.push_back(text[i + 1]);
      i += 2;
      continue;
    }
    out.append(text.substr(i, len));
    i += len;
  }
  return out;
}

// A digit or letter of any base, unchecked: A or a = 10 ... Z or z = 35;
// any other byte counts 0.
int DigitValue(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  if (b >= '0' && b <= '9') return b - '0';
  if ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') return (b | 0x20) - 'a' + 10;
  return 0;
}

// Position of the first byte of 0x80 or above at or after `from`, or npos.
size_t FirstHighByte(std::string_view text, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return i;
  }
  return npos;
}

// parseInBase(digits, 16) when that is at most kMaxCodePoint, else -1.
// The value never shrinks as digits are added, so the reading stops as
// soon as it is too large: a long body costs no more than a short one.
int64_t HexReference(std::string_view digits) {
  int64_t value = 0;
  for (char c : digits) {
    value = value * 16 + DigitValue(c);
    if (value > kMaxCodePoint) return -1;
  }
  return value;
}

// The value of a decimal reference's digits; -1 unless they are one or more
// ASCII digits and nothing else; kMaxCodePoint + 1 for anything larger.
int64_t DecimalReference(std::string_view digits) {
  if (digits.empty()) return -1;
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    if (value <= kMaxCodePoint) value = value * 10 + (c - '0');
  }
  return value > kMaxCodePoint ? kMaxCodePoint + 1 : value;
}

}  // namespace

int64_t parseInBase(std::string_view text, int base) {
  int64_t result = 0;
  for (char c : text) {
    const int digit = DigitValue(c);
    // result = result * base + digit, saturating: a value too large for
    // 64 bits is simply the largest one.
    int64_t scaled;
    if (__builtin_mul_overflow(result, static_cast<int64_t>(base), &scaled) ||
        __builtin_add_overflow(scaled, static_cast<int64_t>(digit), &result))
      return std::numeric_limits<int64_t>::max();
  }
  return result;
}

std::string codeUnitToText(uint32_t code) {
  return CodePointToGb18030(static_cast<char32_t>(code));
}

std::string decodeUnicodeEscapes(std::string_view text, bool keepOtherEscapes) {
  if (text.find('\\') == npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t last = 0;  // start of the part not yet copied
  size_t i = 0;     // where the search for the next backslash starts
  while (true) {
    size_t p = FindAsciiByte(text, '\\', i);
    if (p == npos || p + 6 > text.size()) break;  // fewer than five bytes follow
    int32_t unit = UnitAt(text, p);
    if (unit < 1) {  // not an escape: the backslash stays where it is
      i = p + 1;
      continue;
    }
    char32_t code = static_cast<char32_t>(unit);
    size_t used = 6;
    if (IsHighSurrogate(unit)) {
      int32_t low = UnitAt(text, p + 6);
      if (IsLowSurrogate(low)) {
        code = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
               (static_cast<char32_t>(low) - 0xDC00);
        used = 12;
      }
    }
    out.append(text.substr(last, p - last));
    out += codeUnitToText(code);  // a lone surrogate becomes "?"
    last = i = p + used;
  }
  out.append(text.substr(last));
  return keepOtherEscapes ? out : ReplaceOtherEscapes(out);
}

std::string decodeHtmlEntities(std::string_view text) {
  if (text.find('&') == npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t last = 0;
  size_t i = 0;
  // Remembered answers: the first ";" unit and the first byte of 0x80 or
  // above at or after the body's start. Bodies start at ever later
  // positions, so each is searched again only once the scan has passed it,
  // and every byte is looked at a bounded number of times.
  size_t semicolon = 0;
  bool semicolonKnown = false;
  size_t highByte = 0;
  bool highByteKnown = false;
  while (true) {
    size_t a = FindAsciiByte(text, '&', i);
    if (a == npos) break;
    const size_t body = a + 1;
    if (!semicolonKnown || (semicolon != npos && semicolon < body)) {
      semicolon = FindAsciiByte(text, ';', body);
      semicolonKnown = true;
    }
    int64_t code = -1;
    if (semicolon != npos) {
      if (!highByteKnown || (highByte != npos && highByte < body)) {
        highByte = FirstHighByte(text, body);
        highByteKnown = true;
      }
      std::string_view e = text.substr(body, semicolon - body);
      // The body must be ASCII: no high byte before the ";".
      if (e.size() > 1 && (highByte == npos || highByte > semicolon)) {
        if (e[0] == '#' && e.size() > 2) {
          code = e[1] == 'x' ? HexReference(e.substr(2)) : DecimalReference(e.substr(1));
          if (code > kMaxCodePoint) code = -1;
        } else {
          code = LookUpEntity(e);
        }
      }
    }
    if (code < 1) {  // not a reference: the "&" stays where it is
      i = a + 1;
      continue;
    }
    out.append(text.substr(last, a - last));
    out += codeUnitToText(static_cast<uint32_t>(code));  // a surrogate becomes "?"
    last = i = semicolon + 1;
  }
  out.append(text.substr(last));
  return out;
}

}  // namespace keelnode
