#include "json/escape_decoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "services/code_page.h"

namespace keelnode {
namespace {

// Expected texts are written in UTF-8 and turned into the program's code page.
std::string Gb(const char* utf8) {
  return Utf8ToGb18030(utf8);
}

std::string Both(const std::string& text) {
  return decodeHtmlEntities(decodeUnicodeEscapes(text, false));
}

// ---- parseInBase ----

TEST(ParseInBaseTest, DigitsAndLetters) {
  EXPECT_EQ(parseInBase("", 16), 0);
  EXPECT_EQ(parseInBase("4e2d", 16), 0x4E2D);
  EXPECT_EQ(parseInBase("4E2D", 16), 0x4E2D);
  EXPECT_EQ(parseInBase("20013", 10), 20013);
  EXPECT_EQ(parseInBase("z", 16), 35);
  EXPECT_EQ(parseInBase("Zz", 36), 35 * 36 + 35);
  // Letters beyond the base still count; other bytes count 0.
  EXPECT_EQ(parseInBase("g0", 16), 16 * 16);
  EXPECT_EQ(parseInBase("1-1", 16), 0x101);
  EXPECT_EQ(parseInBase("\xD6\xD0", 16), 0);
}

TEST(ParseInBaseTest, HugeValuesSaturate) {
  EXPECT_EQ(parseInBase(std::string(100, 'z'), 16), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(parseInBase(std::string(10000, '9'), 10), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(parseInBase("7fffffffffffffff", 16), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(parseInBase("1000000000000000", 16), int64_t{1} << 60);
}

// ---- codeUnitToText ----

TEST(CodeUnitToTextTest, CharactersInTheCodePage) {
  EXPECT_EQ(codeUnitToText(0x41), "A");
  EXPECT_EQ(codeUnitToText(0x4E2D), "\xD6\xD0");
  EXPECT_EQ(codeUnitToText(0x20AC), "\xA2\xE3");
  EXPECT_EQ(codeUnitToText(0xA0), CodePointToGb18030(0xA0));  // kept as itself
  EXPECT_EQ(codeUnitToText(0xD800), "?");
  EXPECT_EQ(codeUnitToText(0xDFFF), "?");
  EXPECT_EQ(codeUnitToText(0x1F600), CodePointToGb18030(0x1F600));
}

// ---- decodeUnicodeEscapes ----

TEST(DecodeUnicodeEscapesTest, TwoCharacters) {
  EXPECT_EQ(decodeUnicodeEscapes("\\u4e2d\\u6587", false), Gb("中文"));
  EXPECT_EQ(decodeUnicodeEscapes("x\\u4E2Dy", true), Gb("x中y"));
}

TEST(DecodeUnicodeEscapesTest, LeftUnchanged) {
  EXPECT_EQ(decodeUnicodeEscapes("\\U4e2d", false), "\\U4e2d");
  EXPECT_EQ(decodeUnicodeEscapes("\\u4e2", false), "\\u4e2");  // fewer than five bytes follow
  EXPECT_EQ(decodeUnicodeEscapes("ab\\u41", false), "ab\\u41");
  EXPECT_EQ(decodeUnicodeEscapes("\\u0000", false), "\\u0000");
  EXPECT_EQ(decodeUnicodeEscapes("\\", false), "\\");
  EXPECT_EQ(decodeUnicodeEscapes("", false), "");
  EXPECT_EQ(decodeUnicodeEscapes("plain", false), "plain");
}

TEST(DecodeUnicodeEscapesTest, EscapedBackslashIsNotRecognised) {
  EXPECT_EQ(decodeUnicodeEscapes("\\\\u0041", false), "\\A");
  EXPECT_EQ(decodeUnicodeEscapes("\\\\u0041", true), "\\A");
}

TEST(DecodeUnicodeEscapesTest, OtherEscapes) {
  EXPECT_EQ(decodeUnicodeEscapes("a\\/b \\\"c\\\"", false), "a/b \"c\"");
  EXPECT_EQ(decodeUnicodeEscapes("a\\/b \\\"c\\\"", true), "a\\/b \\\"c\\\"");
  EXPECT_EQ(decodeUnicodeEscapes("\\n\\t\\\\", false), "\\n\\t\\\\");
  EXPECT_EQ(decodeUnicodeEscapes("\\\\\"", false), "\\\"");  // one pass, left to right
  // Replacements apply to the decoded text too, as the decoder is written.
  EXPECT_EQ(decodeUnicodeEscapes("\\u005C/", false), "/");
  EXPECT_EQ(decodeUnicodeEscapes("\\u005C/", true), "\\/");
}

TEST(DecodeUnicodeEscapesTest, LettersBeyondFCountAndKeepTheLow16Bits) {
  EXPECT_EQ(decodeUnicodeEscapes("\\u00zz", false), CodePointToGb18030(35 * 16 + 35));
  EXPECT_EQ(decodeUnicodeEscapes("\\u  41", false), "A");  // other bytes count 0
  // 'g' * 4096 = 0x10000: the low 16 bits are 0, which is left as written.
  EXPECT_EQ(decodeUnicodeEscapes("\\ug000", false), "\\ug000");
  // 'z' * 4096 + 0x41 = 0x23041 -> 0x3041.
  EXPECT_EQ(decodeUnicodeEscapes("\\uz041", false), CodePointToGb18030(0x3041));
}

TEST(DecodeUnicodeEscapesTest, SurrogatePairs) {
  EXPECT_EQ(decodeUnicodeEscapes("\\ud83d\\ude00!", false), CodePointToGb18030(0x1F600) + "!");
  EXPECT_EQ(decodeUnicodeEscapes("\\uD840\\uDC00", false), "\x95\x32\x82\x36");  // U+20000
  EXPECT_EQ(decodeUnicodeEscapes("\\ud83dx", false), "?x");
  EXPECT_EQ(decodeUnicodeEscapes("\\ude00\\ud83d", false), "??");
  EXPECT_EQ(decodeUnicodeEscapes("\\ud83d \\ude00", false), "? ?");
  EXPECT_EQ(decodeUnicodeEscapes("\\ud83d\\ud83d\\ude00", false),
            "?" + CodePointToGb18030(0x1F600));
}

TEST(DecodeUnicodeEscapesTest, EscapesNeedFourAsciiBytes) {
  // The "\u" is followed by a two-byte character: not an escape.
  const std::string text = "\\u\xD6\xD0\xCE\xC4";
  EXPECT_EQ(decodeUnicodeEscapes(text, false), text);
  const std::string text2 = "\\u12\xD6\xD0";
  EXPECT_EQ(decodeUnicodeEscapes(text2, false), text2);
}

TEST(DecodeUnicodeEscapesTest, SecondByteBackslashIsNoEscape) {
  // 0x81 0x5C is one character whose second byte looks like a backslash.
  const std::string text = "\x81\\u0041\x81\\\"";
  EXPECT_EQ(decodeUnicodeEscapes(text, false), text);
  EXPECT_EQ(decodeUnicodeEscapes("\x81\\\\u0041", false), "\x81\\A");
}

TEST(DecodeUnicodeEscapesTest, SearchGoesOnAfterADecodedSequence) {
  // "\u12\x" is an escape (0x1221: the backslash counts 0, x counts 33);
  // the search goes on after it, not inside it, so nothing is copied twice.
  EXPECT_EQ(decodeUnicodeEscapes("\\u12\\xABCD", false), CodePointToGb18030(0x1221) + "ABCD");
  EXPECT_EQ(decodeUnicodeEscapes("\\u12\\u0041", false), CodePointToGb18030(0x121E) + "0041");
  EXPECT_EQ(decodeUnicodeEscapes("\\u0041\\u0042\\u0043", false), "ABC");
  EXPECT_EQ(decodeUnicodeEscapes("\\u0041\\", false), "A\\");
  EXPECT_EQ(decodeUnicodeEscapes("\\u005C\\u0041", true), "\\A");
}

// ---- decodeHtmlEntities ----

TEST(DecodeHtmlEntitiesTest, NamedReferences) {
  EXPECT_EQ(decodeHtmlEntities("&lt;b&gt;"), "<b>");
  EXPECT_EQ(decodeHtmlEntities("&amp;amp;"), "&amp;");
  EXPECT_EQ(decodeHtmlEntities("a&nbsp;b"), "a b");
  EXPECT_EQ(decodeHtmlEntities("&Auml;"), CodePointToGb18030(0xC4));
  EXPECT_EQ(decodeHtmlEntities("&auml;"), CodePointToGb18030(0xE4));
  EXPECT_NE(decodeHtmlEntities("&Auml;"), decodeHtmlEntities("&auml;"));
  EXPECT_EQ(decodeHtmlEntities("&AMP;"), "&AMP;");
  EXPECT_EQ(decodeHtmlEntities("&quot;&euro;&hellip;"), "\"" + Gb("€…"));
  EXPECT_EQ(decodeHtmlEntities("&yuml;&fnof;&Omega;&diams;&rsaquo;"), Gb("ÿƒΩ♦›"));
  EXPECT_EQ(decodeHtmlEntities("&unknown;"), "&unknown;");
  EXPECT_EQ(decodeHtmlEntities("&;&a;"), "&;&a;");  // one byte or none between & and ;
  EXPECT_EQ(decodeHtmlEntities("&lt"), "&lt");
}

TEST(DecodeHtmlEntitiesTest, EveryNameOfTheTableDecodes) {
  const char* names =
      "nbsp iexcl cent pound curren yen brvbar sect uml copy ordf laquo not shy reg macr deg "
      "plusmn sup2 sup3 acute micro para middot cedil sup1 ordm raquo frac14 frac12 frac34 iquest "
      "Agrave Aacute Acirc Atilde Auml Aring AElig Ccedil Egrave Eacute Ecirc Euml Igrave Iacute "
      "Icirc Iuml ETH Ntilde Ograve Oacute Ocirc Otilde Ouml times Oslash Ugrave Uacute Ucirc Uuml "
      "Yacute THORN szlig agrave aacute acirc atilde auml aring aelig ccedil egrave eacute ecirc "
      "euml igrave iacute icirc iuml eth ntilde ograve oacute ocirc otilde ouml divide oslash "
      "ugrave uacute ucirc uuml yacute thorn yuml fnof Alpha Beta Gamma Delta Epsilon Zeta Eta "
      "Theta Iota Kappa Lambda Mu Nu Xi Omicron Pi Rho Sigma Tau Upsilon Phi Chi Psi Omega alpha "
      "beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron pi rho sigmaf "
      "sigma tau upsilon phi chi psi omega thetasym upsih piv bull hellip prime Prime oline frasl "
      "weierp image real trade alefsym larr uarr rarr darr harr crarr lArr uArr rArr dArr hArr "
      "forall part exist empty nabla isin notin ni prod sum minus lowast radic prop infin ang and "
      "or cap cup int there4 sim cong asymp ne equiv le ge sub sup nsub sube supe oplus otimes "
      "perp sdot lceil rceil lfloor rfloor lang rang loz spades clubs hearts diams quot amp lt gt "
      "OElig oelig Scaron scaron Yuml circ tilde ensp emsp thinsp zwnj zwj lrm rlm ndash mdash "
      "lsquo rsquo sbquo ldquo rdquo bdquo dagger Dagger permil lsaquo rsaquo euro";
  int count = 0;
  std::string all(names);
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find(' ', start);
    if (end == std::string::npos) end = all.size();
    std::string reference = "&" + all.substr(start, end - start) + ";";
    std::string decoded = decodeHtmlEntities(reference);
    EXPECT_NE(decoded, reference);
    EXPECT_NE(decoded, "?") << reference;
    ++count;
    start = end + 1;
  }
  EXPECT_EQ(count, 252);
}

TEST(DecodeHtmlEntitiesTest, CodePointsFromEveryPartOfTheTable) {
  struct Case {
    const char* name;
    char32_t code;
  };
  // A sample from each part of the table, with the standard's code points.
  const Case cases[] = {
      {"iexcl", 161},    {"frac34", 190},   {"Agrave", 192}, {"szlig", 223},   {"divide", 247},
      {"thorn", 254},    {"fnof", 402},     {"Alpha", 913},  {"Sigma", 931},   {"sigmaf", 962},
      {"omega", 969},    {"thetasym", 977}, {"upsih", 978},  {"piv", 982},     {"bull", 8226},
      {"oline", 8254},   {"weierp", 8472},  {"image", 8465}, {"real", 8476},   {"trade", 8482},
      {"alefsym", 8501}, {"crarr", 8629},   {"hArr", 8660},  {"forall", 8704}, {"lowast", 8727},
      {"there4", 8756},  {"sdot", 8901},    {"lang", 9001},  {"rang", 9002},   {"loz", 9674},
      {"spades", 9824},  {"OElig", 338},    {"Yuml", 376},   {"circ", 710},    {"tilde", 732},
      {"ensp", 8194},    {"zwnj", 8204},    {"rlm", 8207},   {"sbquo", 8218},  {"bdquo", 8222},
      {"permil", 8240},  {"lsaquo", 8249},  {"euro", 8364},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decodeHtmlEntities(std::string("&") + c.name + ";"), CodePointToGb18030(c.code))
        << c.name;
  }
}

TEST(DecodeHtmlEntitiesTest, NumericReferences) {
  EXPECT_EQ(decodeHtmlEntities("&#20013;"), Gb("中"));
  EXPECT_EQ(decodeHtmlEntities("&#x4e2d;"), Gb("中"));
  EXPECT_EQ(decodeHtmlEntities("&#65;&#x41;"), "AA");
  EXPECT_EQ(decodeHtmlEntities("&#5;"), "&#5;");
  EXPECT_EQ(decodeHtmlEntities("&#9;"), "&#9;");
  EXPECT_EQ(decodeHtmlEntities("&#09;"), "\t");
  EXPECT_EQ(decodeHtmlEntities("&#00;"), "&#00;");
  EXPECT_EQ(decodeHtmlEntities("AT&T"), "AT&T");
  EXPECT_EQ(decodeHtmlEntities("AT&T;"), "AT&T;");
}

TEST(DecodeHtmlEntitiesTest, DecimalIsDigitsOnly) {
  EXPECT_EQ(decodeHtmlEntities("&#65x;"), "&#65x;");
  EXPECT_EQ(decodeHtmlEntities("&# 65;"), "&# 65;");
  EXPECT_EQ(decodeHtmlEntities("&#+65;"), "&#+65;");
  EXPECT_EQ(decodeHtmlEntities("&#X41;"), "&#X41;");  // capital X is not hexadecimal
  EXPECT_EQ(decodeHtmlEntities("&#0065;"), "A");
}

TEST(DecodeHtmlEntitiesTest, HexKeepsTheLooseReading) {
  EXPECT_EQ(decodeHtmlEntities("&#xzz;"), CodePointToGb18030(35 * 16 + 35));
  EXPECT_EQ(decodeHtmlEntities("&#x 41;"), "A");
  EXPECT_EQ(decodeHtmlEntities("&#x-;"), "&#x-;");  // counts 0
  EXPECT_EQ(decodeHtmlEntities("&#x;"), "&#x;");
}

TEST(DecodeHtmlEntitiesTest, BeyondTheBasicPlane) {
  EXPECT_EQ(decodeHtmlEntities("&#x1F600;"), CodePointToGb18030(0x1F600));
  EXPECT_EQ(decodeHtmlEntities("&#128512;"), CodePointToGb18030(0x1F600));
  EXPECT_EQ(decodeHtmlEntities("&#x10FFFF;"), CodePointToGb18030(0x10FFFF));
  EXPECT_EQ(decodeHtmlEntities("&#x110000;"), "&#x110000;");
  EXPECT_EQ(decodeHtmlEntities("&#1114112;"), "&#1114112;");
  EXPECT_EQ(decodeHtmlEntities("&#99999999999999999999999999;"), "&#99999999999999999999999999;");
  const std::string huge = "&#x" + std::string(200, 'f') + ";";
  EXPECT_EQ(decodeHtmlEntities(huge), huge);
}

TEST(DecodeHtmlEntitiesTest, ReferencesAreNeverCombined) {
  EXPECT_EQ(decodeHtmlEntities("&#xD83D;&#xDE00;"), "??");
  EXPECT_EQ(decodeHtmlEntities("&#55357;"), "?");
}

TEST(DecodeHtmlEntitiesTest, ReferencesMustBeAscii) {
  const std::string text = "&\xD6\xD0;";
  EXPECT_EQ(decodeHtmlEntities(text), text);
  const std::string text2 = "&#x4e\xD6\xD0;";
  EXPECT_EQ(decodeHtmlEntities(text2), text2);
  // 0x81 0x26 is one character whose second byte looks like "&".
  const std::string text3 = "\x81&lt;";
  EXPECT_EQ(decodeHtmlEntities(text3), text3);
  // Its second byte looks like ";": the reference runs on to the next ";".
  EXPECT_EQ(decodeHtmlEntities("&lt\x81;x;"), "&lt\x81;x;");
}

TEST(DecodeHtmlEntitiesTest, SearchGoesOnAfterADecodedReference) {
  // The text between "&" and ";" holds another "&": it is consumed whole.
  EXPECT_EQ(decodeHtmlEntities("&#x1&;"), CodePointToGb18030(0x10));
  EXPECT_EQ(decodeHtmlEntities("&#x1&;x&lt;"), CodePointToGb18030(0x10) + "x<");
  EXPECT_EQ(decodeHtmlEntities("&a&lt;"), "&a<");
  EXPECT_EQ(decodeHtmlEntities("&&&lt;;"), "&&<;");
}

TEST(EscapeDecodingTest, AppliedAsAPair) {
  EXPECT_EQ(Both("\\u0026lt;"), "<");
  EXPECT_EQ(Both("{\\\"k\\\":\\\"\\u4e2d&amp;\\u6587\\\"}"), "{\"k\":\"" + Gb("中&文") + "\"}");
  EXPECT_EQ(Both("abc"), "abc");
}

}  // namespace
}  // namespace keelnode

// ---- adversarial shapes: results, not speed (the pathological benchmark
// shows the time) ----

namespace keelnode {
namespace {

std::string Times(std::string_view unit, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i)
    out.append(unit);
  return out;
}

TEST(EscapeDecodingShapesTest, ManyAmpersandsWithoutSemicolonStayAsWritten) {
  const std::string urls = Times("u?a=1&b=2&lang=zh,", 20000);
  EXPECT_TRUE(decodeHtmlEntities(urls) == urls);
  // One ";" at the very end: only the last "&" can reach it, and its body
  // "x" is no name.
  EXPECT_TRUE(decodeHtmlEntities(urls + "&x;") == urls + "&x;");
  EXPECT_TRUE(decodeHtmlEntities(Times("&", 50000) + "amp;") == Times("&", 50000));
}

TEST(EscapeDecodingShapesTest, LongBodiesDecodeOnlyWhenTheyNameACharacter) {
  // Leading zeros (and bytes that count 0) keep a hexadecimal body small.
  EXPECT_EQ(decodeHtmlEntities("&#x" + std::string(100000, '0') + "41;"), "A");
  EXPECT_EQ(decodeHtmlEntities("&#x" + Times("-", 100000) + "4e2d;"), Gb("中"));
  EXPECT_EQ(decodeHtmlEntities("&#" + std::string(100000, '0') + "65;"), "A");
  // Each "&#x" reads the following ones as digits ("&" and "#" count 0,
  // "x" 33) and is too large, but for the last two: "#x&#x1" is 0x211.
  EXPECT_TRUE(decodeHtmlEntities("&#x" + Times("&#x", 30000) + "1;") ==
              Times("&#x", 29999) + codeUnitToText(0x211));
  const std::string longName = "&" + std::string(100000, 'a') + ";";
  EXPECT_TRUE(decodeHtmlEntities(longName) == longName);
  // A high byte anywhere in the body: no reference, however far the ";".
  const std::string cjkBody = "&" + Times(Gb("中"), 50000) + "amp;";
  EXPECT_TRUE(decodeHtmlEntities(cjkBody) == cjkBody);
  EXPECT_TRUE(decodeHtmlEntities(Times("&" + Gb("中"), 20000) + "&lt;") ==
              Times("&" + Gb("中"), 20000) + "<");
}

TEST(EscapeDecodingShapesTest, EscapeLikeRunsDecodeAsTheyDidOneByOne) {
  // Too few hex digits: the four bytes after "\u" are read as they are,
  // "4e\u" giving 0x4E1E, and each reading takes the next "\u" along.
  EXPECT_TRUE(decodeUnicodeEscapes(Times("\\u4e\\u", 10000) + "0041", false) ==
              Times(codeUnitToText(0x4E1E), 10000) + "0041");
  const std::string backslashes(100000, '\\');
  EXPECT_TRUE(Both(backslashes) == backslashes);
  // A character whose second byte is a backslash is never an escape, and
  // a real escape after a long run of them is still found.
  const std::string trail = Times("\x81\x5C", 50000);
  EXPECT_TRUE(decodeUnicodeEscapes(trail + "\\u0041", false) == trail + "A");
  EXPECT_TRUE(decodeUnicodeEscapes(trail + "\\\"", false) == trail + "\"");
}

}  // namespace
}  // namespace keelnode
