#include "net/decode_body.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "test_bytes.h"

namespace keelnode {
namespace {

using nettest::encodeAs;
using nettest::gb;
using nettest::gzipped;

const std::string kChinese = "{\"名\":\"中文\"}";

struct Decoded {
  std::string text;
  CharsetMode mode;
};

Decoded decode(std::string_view bytes, CharsetMode mode = CharsetMode::Auto) {
  Decoded d;
  d.text = decodeBody(bytes, mode, &d.mode);
  return d;
}

TEST(DecodeBodyTest, EmptyBodyGivesEmptyText) {
  for (CharsetMode mode : {CharsetMode::Auto, CharsetMode::Utf8, CharsetMode::Utf16Le,
                           CharsetMode::Big5, CharsetMode::RawBytes}) {
    const Decoded d = decode("", mode);
    EXPECT_EQ(d.text, "");
    EXPECT_EQ(d.mode, CharsetMode::Ansi);
  }
}

TEST(DecodeBodyTest, AutoDetectsByteOrderMarksAndDropsThem) {
  Decoded d = decode("\xEF\xBB\xBF" + kChinese);
  EXPECT_EQ(d.text, gb(kChinese));
  EXPECT_EQ(d.mode, CharsetMode::Utf8);

  d = decode("\xFF\xFE" + encodeAs(kChinese, "UTF-16LE"));
  EXPECT_EQ(d.text, gb(kChinese));
  EXPECT_EQ(d.mode, CharsetMode::Utf16Le);

  d = decode("\xFE\xFF" + encodeAs(kChinese, "UTF-16BE"));
  EXPECT_EQ(d.text, gb(kChinese));
  EXPECT_EQ(d.mode, CharsetMode::Utf16Be);
}

TEST(DecodeBodyTest, AutoTakesUndeclaredUtf8ThroughTheUtf8Test) {
  const Decoded d = decode(kChinese);
  EXPECT_EQ(d.text, gb(kChinese));
  EXPECT_EQ(d.mode, CharsetMode::Utf8);
}

TEST(DecodeBodyTest, AutoPassesAsciiAndGbkThrough) {
  Decoded d = decode("{\"a\":1}");
  EXPECT_EQ(d.text, "{\"a\":1}");
  EXPECT_EQ(d.mode, CharsetMode::Ansi);

  const std::string gbk = gb(kChinese);
  d = decode(gbk);
  EXPECT_EQ(d.text, gbk);
  EXPECT_EQ(d.mode, CharsetMode::Ansi);
}

TEST(DecodeBodyTest, ShortGbkThatFormsUtf8IsTakenAsUtf8) {
  // C3 A9 is a GBK character and also UTF-8 for U+00E9.
  const Decoded d = decode("\xC3\xA9");
  EXPECT_EQ(d.mode, CharsetMode::Utf8);
  EXPECT_EQ(d.text, gb("é"));
}

TEST(DecodeBodyTest, UndeclaredFourByteUtf8PassesThroughUndecoded) {
  const std::string body = "{\"e\":\"中😀\"}";
  const Decoded d = decode(body);
  EXPECT_EQ(d.text, body);
  EXPECT_EQ(d.mode, CharsetMode::Ansi);
}

TEST(DecodeBodyTest, Utf16WithoutMarkInAutoKeepsTextBeforeTheFirstZero) {
  const Decoded d = decode(encodeAs("{\"a\":1}", "UTF-16LE"));
  EXPECT_EQ(d.text, "{");
  EXPECT_EQ(d.mode, CharsetMode::Ansi);
}

TEST(DecodeBodyTest, MetaCharsetDecidesBeforeTheUtf8Test) {
  // The four-byte character would fail the UTF-8 test; the declaration wins.
  const std::string page =
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
      "</head><body>中😀</body></html>";
  Decoded d = decode(page);
  EXPECT_EQ(d.mode, CharsetMode::Utf8);
  EXPECT_EQ(d.text, gb(page));

  const std::string gbkPage = "<head><meta charset=gb2312></head>" + gb("中文");
  d = decode(gbkPage);
  EXPECT_EQ(d.mode, CharsetMode::Ansi);
  EXPECT_EQ(d.text, gbkPage);
}

TEST(DecodeBodyTest, MetaBig5AndBig5Hkscs) {
  const std::string hk = "中文㗎";
  Decoded d = decode("<meta charset=\"Big5\">" + encodeAs("中文", "BIG5"));
  EXPECT_EQ(d.mode, CharsetMode::Big5);
  EXPECT_EQ(d.text, "<meta charset=\"Big5\">" + gb("中文"));

  d = decode("<meta charset=\"Big5-HKSCS\">" + encodeAs(hk, "BIG5-HKSCS"));
  EXPECT_EQ(d.mode, CharsetMode::Big5Hkscs);
  EXPECT_EQ(d.text, "<meta charset=\"Big5-HKSCS\">" + gb(hk));

  // Unquoted, the Big5 keyword matches first: the HKSCS character is lost.
  d = decode("<meta charset=Big5-HKSCS>" + encodeAs(hk, "BIG5-HKSCS"));
  EXPECT_EQ(d.mode, CharsetMode::Big5);
  EXPECT_EQ(d.text, "<meta charset=Big5-HKSCS>" + gb("中文") + "?");
}

TEST(DecodeBodyTest, MetaSearchStopsAtEndOfFileByte) {
  const std::string body = "\x1A<meta charset=Big5>" + encodeAs("中文", "BIG5");
  const Decoded d = decode(body);
  EXPECT_EQ(d.mode, CharsetMode::Ansi);
  EXPECT_EQ(d.text, body);
}

TEST(DecodeBodyTest, GivenUtf8SkipsOnlyARealMark) {
  EXPECT_EQ(decode("\xEF\xBB\xBF" + kChinese, CharsetMode::Utf8).text, gb(kChinese));
  EXPECT_EQ(decode(kChinese, CharsetMode::Utf8).text, gb(kChinese));
  // The header check raised the mode: a four-byte character converts too.
  EXPECT_EQ(decode("中😀", CharsetMode::Utf8).text, gb("中😀"));
}

TEST(DecodeBodyTest, GivenUtf16KeepsTheFirstCharacterWithoutAMark) {
  EXPECT_EQ(decode(encodeAs("ab中", "UTF-16LE"), CharsetMode::Utf16Le).text, gb("ab中"));
  EXPECT_EQ(decode(encodeAs("ab中", "UTF-16BE"), CharsetMode::Utf16Be).text, gb("ab中"));
  EXPECT_EQ(decode("\xFF\xFE" + encodeAs("ab", "UTF-16LE"), CharsetMode::Utf16Le).text, "ab");
}

TEST(DecodeBodyTest, GivenAnsiAndRawBytesPassThrough) {
  for (CharsetMode mode : {CharsetMode::Ansi, CharsetMode::RawBytes, CharsetMode::ServerText}) {
    const Decoded d = decode("\xEF\xBB\xBF" + kChinese, mode);
    EXPECT_EQ(d.text, "\xEF\xBB\xBF" + kChinese);
    EXPECT_EQ(d.mode, CharsetMode::Ansi);
  }
  EXPECT_EQ(decode("abc", static_cast<CharsetMode>(7)).text, "abc");
}

TEST(DecodeBodyTest, InvalidSequencesBecomeQuestionMarks) {
  EXPECT_EQ(decode("a\xFF"
                   "b中",
                   CharsetMode::Utf8)
                .text,
            "a?b" + gb("中"));
  EXPECT_EQ(decode(encodeAs("中", "UTF-16LE") + "x", CharsetMode::Utf16Le).text, gb("中") + "?");
}

TEST(DecodeBodyTest, TextEndsAtTheFirstZero) {
  EXPECT_EQ(decode(std::string("中\0文", 7), CharsetMode::Utf8).text, gb("中"));
  EXPECT_EQ(decode(std::string("ab\0cd", 5), CharsetMode::Ansi).text, "ab");
  // A conversion that gives nothing falls back to the bytes, cut at the zero.
  const Decoded d = decode(std::string("\0ab", 3), CharsetMode::Utf8);
  EXPECT_EQ(d.text, "");
  EXPECT_EQ(d.mode, CharsetMode::Ansi);
}

TEST(DecodeBodyTest, GzipIsUndoneBeforeDetection) {
  Decoded d = decode(gzipped("\xEF\xBB\xBF" + kChinese));
  EXPECT_EQ(d.text, gb(kChinese));
  EXPECT_EQ(d.mode, CharsetMode::Utf8);

  d = decode(gzipped("plain"), CharsetMode::RawBytes);
  EXPECT_EQ(d.text, "plain");
  EXPECT_EQ(decode(gzipped("")).text, "");
}

TEST(DecodeBodyTest, BrokenGzipPassesThroughAsItWas) {
  const std::string packed = gzipped(std::string(5000, 'x'));
  const std::string truncated = packed.substr(0, packed.size() / 2);
  Decoded d = decode(truncated);
  EXPECT_EQ(d.text, std::string(truncated.c_str()));  // up to its first zero byte
  EXPECT_EQ(d.mode, CharsetMode::Ansi);

  std::string corrupt = packed;
  corrupt[12] = static_cast<char>(~corrupt[12]);
  EXPECT_EQ(decode(corrupt, CharsetMode::Ansi).text, std::string(corrupt.c_str()));
}

TEST(DecodeBodyTest, FullFormReadsSourceTextAndFiles) {
  CharsetMode detected = CharsetMode::Auto;
  std::string text;
  EXPECT_EQ(decodeBody("", CharsetMode::Auto, detected, text, "", kChinese), gb(kChinese));
  EXPECT_EQ(text, gb(kChinese));
  EXPECT_EQ(detected, CharsetMode::Utf8);

  const std::string path =
      ::testing::TempDir() + "keelnode_decode_body_" + std::to_string(::getpid()) + ".txt";
  std::ofstream(path, std::ios::binary) << "\xFF\xFE" << encodeAs("中", "UTF-16LE");
  EXPECT_EQ(decodeBody(path, CharsetMode::Auto, detected, text, "ignored"), gb("中"));
  EXPECT_EQ(detected, CharsetMode::Utf16Le);
  std::remove(path.c_str());
  EXPECT_EQ(decodeBody(path, CharsetMode::Auto, detected, text, "ignored"), "");
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace keelnode
