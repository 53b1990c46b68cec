#include "services/regex_service.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "services/code_page.h"

namespace keelnode {
namespace {

// Test texts are written in UTF-8 and turned into the program's code page.
std::string Gb(const char* utf8) {
  return Utf8ToGb18030(utf8);
}

// The parser's stored patterns, two apostrophes already replaced
// by one double quote, full-width space in the program's code page.
std::string NameCleaner() {
  return Gb("[\\s　]+\"|\"[\\s　]+|^[ 　\"\\t]+|[ 　\"\\t]+$");
}
std::string ValueTrimmer() {
  return Gb("^[ 　\\t]+|[ 　\\t]+$");
}
std::string SpaceBeforeOpen() {
  return Gb("[\\s　]+(\\[|{|\")");
}
std::string SpaceAfterClose() {
  return Gb("(\\]|}|\")[\\s　]+");
}

std::string ReplaceAll(const std::string& pattern, const std::string& subject,
                       const std::string& replacement) {
  RegexService regex;
  EXPECT_TRUE(regex.Compile(pattern)) << pattern;
  return regex.Replace(subject, replacement);
}

// ---- The four escape helpers ----

TEST(RegexServiceEscapeTest, WildcardStarBetweenTwoLetters) {
  EXPECT_EQ(RegexService::WildcardToPattern("a*b"), "a.*b");
}

TEST(RegexServiceEscapeTest, WildcardEscapesParenthesisAndBackslash) {
  EXPECT_EQ(RegexService::WildcardToPattern("("), "\\(");
  EXPECT_EQ(RegexService::WildcardToPattern("\\"), "\\\\");
  EXPECT_EQ(RegexService::WildcardToPattern("a\\b(c)"), "a\\\\b\\(c\\)");
}

TEST(RegexServiceEscapeTest, WildcardFullList) {
  EXPECT_EQ(RegexService::WildcardToPattern("\\^$+.{}[]=()-\""),
            "\\\\\\^\\$\\+\\.\\{\\}\\[\\]\\=\\(\\)\\-\\\"");
  // "?" becomes zero or one character; "|" stays alternation.
  EXPECT_EQ(RegexService::WildcardToPattern("a?b|c"), "a.?b|c");
  EXPECT_EQ(RegexService::WildcardToPattern("*.txt"), ".*\\.txt");
}

TEST(RegexServiceEscapeTest, EscapeAllEscapesQuestionStarAndBar) {
  EXPECT_EQ(RegexService::EscapeAll("a?b*c|d"), "a\\?b\\*c\\|d");
  EXPECT_EQ(RegexService::EscapeAll("\\^$+.{}[]=()?*|\""),
            "\\\\\\^\\$\\+\\.\\{\\}\\[\\]\\=\\(\\)\\?\\*\\|\\\"");
  EXPECT_EQ(RegexService::EscapeAll("a-b"), "a-b");
}

TEST(RegexServiceEscapeTest, EscapeKeepBarLeavesTheBar) {
  EXPECT_EQ(RegexService::EscapeKeepBar("a|b?"), "a|b\\?");
  EXPECT_EQ(RegexService::EscapeKeepBar("\\^$+.{}[]=()?*|\""),
            "\\\\\\^\\$\\+\\.\\{\\}\\[\\]\\=\\(\\)\\?\\*|\\\"");
}

TEST(RegexServiceEscapeTest, EscapeKeepGroupsLeavesParenthesesAndBar) {
  EXPECT_EQ(RegexService::EscapeKeepGroups("(a|b)?"), "(a|b)\\?");
  EXPECT_EQ(RegexService::EscapeKeepGroups("\\^$+.{}[]=()?*|\""),
            "\\\\\\^\\$\\+\\.\\{\\}\\[\\]\\=()\\?\\*|\\\"");
}

TEST(RegexServiceEscapeTest, SecondBytesOfCharactersAreNeverEscaped) {
  // 0x5C, 0x5B, 0x7C are second bytes here, not "\", "[" or "|".
  const std::string text = "\x81\x5C\x81\x5B\x81\x7C";
  EXPECT_EQ(RegexService::EscapeAll(text), text);
  EXPECT_EQ(RegexService::WildcardToPattern(text + "*"), text + ".*");
  EXPECT_EQ(RegexService::EscapeAll(Gb("中.文")), Gb("中\\.文"));
}

TEST(RegexServiceEscapeTest, EscapedTextsMatchThemselves) {
  const std::string literal = "a(b)[c]{d}^$+.?*|\\\"=-";
  RegexService regex;
  ASSERT_TRUE(regex.Compile(RegexService::EscapeAll(literal)));
  EXPECT_EQ(regex.Execute("xx" + literal + "yy"), 1);
  EXPECT_EQ(regex.MatchValue(1), literal);
  ASSERT_TRUE(regex.Compile(RegexService::WildcardToPattern("a(*)")));
  EXPECT_TRUE(regex.Matches("xa(anything)"));
  EXPECT_FALSE(regex.Matches("a(anything"));
}

// ---- The parser's patterns and the path patterns ----

TEST(RegexServiceParserPatternsTest, NameCleaner) {
  EXPECT_EQ(ReplaceAll(NameCleaner(), " \"name\" ", ""), "name");
  EXPECT_EQ(ReplaceAll(NameCleaner(), "\"a b\"", ""), "a b");
  EXPECT_EQ(ReplaceAll(NameCleaner(), "\t name\t", ""), "name");
  EXPECT_EQ(ReplaceAll(NameCleaner(), Gb("　\"名字\"　"), ""), Gb("名字"));
  // "\s" takes line breaks next to a quote too.
  EXPECT_EQ(ReplaceAll(NameCleaner(), Gb("\n \"名\" \r\n"), ""), Gb("名"));
  EXPECT_EQ(ReplaceAll(NameCleaner(), "unquoted", ""), "unquoted");
  // Multi-line: the anchors hold at each line break.
  EXPECT_EQ(ReplaceAll(NameCleaner(), "a \r\n\tb ", ""), "a\r\nb");
}

TEST(RegexServiceParserPatternsTest, ValueTrimmer) {
  EXPECT_EQ(ReplaceAll(ValueTrimmer(), "  v  ", ""), "v");
  EXPECT_EQ(ReplaceAll(ValueTrimmer(), Gb("　\t值 　"), ""), Gb("值"));
  // "$" holds before the CR and "^" after it: blanks on both sides go.
  EXPECT_EQ(ReplaceAll(ValueTrimmer(), "a \r \nb", ""), "a\r\nb");
  EXPECT_EQ(ReplaceAll(ValueTrimmer(), " a\r\n b ", ""), "a\r\nb");
  // Line breaks themselves are not trimmed.
  EXPECT_EQ(ReplaceAll(ValueTrimmer(), "\r\nv\r\n", ""), "\r\nv\r\n");
}

TEST(RegexServiceParserPatternsTest, CompactWhitespace) {
  EXPECT_EQ(ReplaceAll(SpaceBeforeOpen(), "a  [1, {x: \"v\"}]", "$1"), "a[1,{x:\"v\"}]");
  EXPECT_EQ(ReplaceAll(SpaceBeforeOpen(), Gb("x\r\n\t　{"), "$1"), "x{");
  EXPECT_EQ(ReplaceAll(SpaceAfterClose(), "[1] ,{} \r\n\"s\"\t:", "$1"), "[1],{}\"s\":");
  EXPECT_EQ(ReplaceAll(SpaceAfterClose(), Gb("]　\x0B\x0C x"), "$1"), "]x");
  // U+3000 is named in the patterns; other non-ASCII blanks are not "\s".
  EXPECT_EQ(ReplaceAll(SpaceBeforeOpen(), Gb("a\u00A0["), "$1"), Gb("a\u00A0["));
}

TEST(RegexServiceParserPatternsTest, NormalisePathPatterns) {
  const std::string to_compact = "\\.(\\[\\d+\\])";
  EXPECT_EQ(ReplaceAll(to_compact, "data.[0].name", "$1"), "data[0].name");
  EXPECT_EQ(ReplaceAll(to_compact, "a.[12].[3].b", "$1"), "a[12][3].b");
  EXPECT_EQ(ReplaceAll(to_compact, "a.[x].b", "$1"), "a.[x].b");

  const std::string to_internal = "([^\\.])(\\[\\d+\\])(\\.?)";
  EXPECT_EQ(ReplaceAll(to_internal, "data[0].name", "$1.$2$3"), "data.[0].name");
  EXPECT_EQ(ReplaceAll(to_internal, "\xD6\xD0[3]", "$1.$2$3"), "\xD6\xD0.[3]");
  EXPECT_EQ(ReplaceAll(to_internal, "a.[0]", "$1.$2$3"), "a.[0]");
  // Matches do not overlap: the "]" before "[1]" belongs to the first match.
  EXPECT_EQ(ReplaceAll(to_internal, "a[0][1]", "$1.$2$3"), "a.[0][1]");
  EXPECT_EQ(ReplaceAll(to_internal, "a[0].b[1]", "$1.$2$3"), "a.[0].b.[1]");
}

// ---- Character classes, dot and anchors ----

TEST(RegexServiceSemanticsTest, BackslashSIsExactlyTheSixAsciiBlanks) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("\\s"));
  EXPECT_EQ(regex.Execute(" \t\n\x0B\x0C\r"), 6);
  EXPECT_EQ(regex.Execute(Gb("　\u00A0\u2028\u0085")), 0);
  ASSERT_TRUE(regex.Compile("\\S+"));
  EXPECT_EQ(regex.Execute(Gb("　x")), 1);
  EXPECT_EQ(regex.MatchValue(1), Gb("　x"));
}

TEST(RegexServiceSemanticsTest, BackslashDIsAsciiDigits) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("\\d+"));
  EXPECT_EQ(regex.Execute(Gb("１２3")), 1);  // full-width digits are not \d
  EXPECT_EQ(regex.MatchValue(1), "3");
  ASSERT_TRUE(regex.Compile("\\w+"));
  EXPECT_EQ(regex.Execute(Gb("中a_1文")), 1);
  EXPECT_EQ(regex.MatchValue(1), "a_1");
}

TEST(RegexServiceSemanticsTest, DotMatchesAnythingButCrAndLf) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("."));
  EXPECT_EQ(regex.Execute(Gb("a\rb\nc\r\n中\x0B\x0C\u2028")), 7);
  ASSERT_TRUE(regex.Compile("a.b"));
  EXPECT_FALSE(regex.Matches("a\rb"));
  EXPECT_TRUE(regex.Matches("a\tb"));
}

TEST(RegexServiceSemanticsTest, MultilineAnchorsHoldAtEveryCrAndLf) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("^"));
  ASSERT_EQ(regex.Execute("a\r\nb"), 3);
  int position = -1;
  regex.MatchValueAt(1, &position);
  EXPECT_EQ(position, 0);
  regex.MatchValueAt(2, &position);
  EXPECT_EQ(position, 2);  // between CR and LF
  regex.MatchValueAt(3, &position);
  EXPECT_EQ(position, 3);

  ASSERT_TRUE(regex.Compile("$"));
  ASSERT_EQ(regex.Execute("a\r\nb"), 3);
  regex.MatchValueAt(1, &position);
  EXPECT_EQ(position, 1);
  regex.MatchValueAt(2, &position);
  EXPECT_EQ(position, 2);
  regex.MatchValueAt(3, &position);
  EXPECT_EQ(position, 4);

  ASSERT_TRUE(regex.Compile("^\\w+$"));
  EXPECT_EQ(regex.Execute("one\rtwo\nthree\r\nfour"), 4);
  EXPECT_EQ(regex.MatchValue(3), "three");
  // Anchors inside groups and lookarounds.
  ASSERT_TRUE(regex.Compile("(?:^|,)x(?=$|,)"));
  EXPECT_EQ(regex.Execute("x,x\nx,xy"), 3);
  ASSERT_TRUE(regex.Compile("(^a|b$)+"));
  EXPECT_EQ(regex.Execute("ab\nab"), 2);
  EXPECT_EQ(regex.MatchValue(2), "ab");
  // A lone CR is a line break too.
  ASSERT_TRUE(regex.Compile("^b"));
  EXPECT_TRUE(regex.Matches("a\rb"));
}

TEST(RegexServiceSemanticsTest, AnchorsWithoutMultiline) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("^b", true, false));
  EXPECT_FALSE(regex.Matches("a\nb"));
  EXPECT_TRUE(regex.Matches("b\na"));
  ASSERT_TRUE(regex.Compile("a$", true, false));
  EXPECT_FALSE(regex.Matches("a\n"));  // "$" is the very end only
  EXPECT_FALSE(regex.Matches("a\r\nb"));
  EXPECT_TRUE(regex.Matches("b\na"));
  ASSERT_TRUE(regex.Compile("a$", true, true));
  EXPECT_TRUE(regex.Matches("a\n"));
}

TEST(RegexServiceSemanticsTest, AnchorCharactersInClassesAndEscapesStayLiteral) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("[$^]+"));
  EXPECT_EQ(regex.Execute("a$^b"), 1);
  EXPECT_EQ(regex.MatchValue(1), "$^");
  ASSERT_TRUE(regex.Compile("\\$\\^"));
  EXPECT_TRUE(regex.Matches("x$^y"));
  ASSERT_TRUE(regex.Compile("[^a]"));
  EXPECT_EQ(regex.Execute("aab"), 1);
}

TEST(RegexServiceSemanticsTest, IgnoreCase) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("ABC", true));
  EXPECT_TRUE(regex.Matches("xabcx"));
  ASSERT_TRUE(regex.Compile("ABC", false));
  EXPECT_FALSE(regex.Matches("xabcx"));
  EXPECT_TRUE(regex.Matches("xABCx"));
  ASSERT_TRUE(regex.Compile(Gb("Ä"), true));  // U+00C4, a four-byte GB18030 sequence
  EXPECT_TRUE(regex.Matches(Gb("xäx")));
  ASSERT_TRUE(regex.Compile(Gb("Ä"), false));
  EXPECT_FALSE(regex.Matches(Gb("xäx")));
}

TEST(RegexServiceSemanticsTest, VbscriptEscapesAndClasses) {
  RegexService regex;
  // Escapes that only PCRE2 knows stand for their letter.
  ASSERT_TRUE(regex.Compile("\\A\\h\\Q\\z", false));
  EXPECT_TRUE(regex.Matches("xAhQz"));
  // \v is the vertical tab only.
  ASSERT_TRUE(regex.Compile("\\v"));
  EXPECT_FALSE(regex.Matches("\n\r\x0C"));
  EXPECT_TRUE(regex.Matches("\x0B"));
  // \uXXXX and \xXX as in JScript.
  ASSERT_TRUE(regex.Compile("\\u4e2d\\x41"));
  EXPECT_TRUE(regex.Matches(Gb("中A")));
  ASSERT_TRUE(regex.Compile("\\x4g", false));
  EXPECT_TRUE(regex.Matches("x4g"));
  // [] matches nothing, [^] anything.
  ASSERT_TRUE(regex.Compile("a[]"));
  EXPECT_FALSE(regex.Matches("a]"));
  ASSERT_TRUE(regex.Compile("a[^]b"));
  EXPECT_TRUE(regex.Matches("a\nb"));
  // No POSIX classes: "[[:alpha:]]" is the class [[:alph] and a "]".
  ASSERT_TRUE(regex.Compile("[[:alpha:]]"));
  EXPECT_TRUE(regex.Matches("a]"));
  EXPECT_FALSE(regex.Matches("b]"));
  // A hyphen next to a class escape is literal.
  ASSERT_TRUE(regex.Compile("^[\\d-z]+$"));
  EXPECT_TRUE(regex.Matches("1-z"));
  EXPECT_FALSE(regex.Matches("e"));
  ASSERT_TRUE(regex.Compile("^[a-\\s]+$"));
  EXPECT_TRUE(regex.Matches("a- "));
  EXPECT_FALSE(regex.Matches("b"));
  // A reference to a group that did not take part matches the empty text.
  ASSERT_TRUE(regex.Compile("(a)?b\\1c"));
  EXPECT_TRUE(regex.Matches("bc"));
  // "\c" not followed by a letter is a backslash and a "c".
  ASSERT_TRUE(regex.Compile("\\c1"));
  EXPECT_TRUE(regex.Matches("\\c1"));
  ASSERT_TRUE(regex.Compile("\\cJ"));
  EXPECT_TRUE(regex.Matches("\n"));
}

TEST(RegexServiceSemanticsTest, RejectedPatternsCompileToNothing) {
  for (const char* bad : {"(", "a)", "[a", "*a", "(*CR)a", "(*UTF)", "a\\"}) {
    RegexService regex;
    EXPECT_FALSE(regex.Compile(bad)) << bad;
    EXPECT_EQ(regex.Pattern(), "") << bad;
    EXPECT_EQ(regex.Execute("a)(*CR)a"), 0) << bad;
    EXPECT_EQ(regex.MatchCount(), 0) << bad;
    EXPECT_EQ(regex.Replace("a(b", "x"), "a(b") << bad;
    EXPECT_FALSE(regex.Matches("a")) << bad;
  }
  RegexService regex;
  ASSERT_TRUE(regex.Compile("ok"));
  EXPECT_EQ(regex.Pattern(), "ok");
  EXPECT_FALSE(regex.Compile("("));
  EXPECT_EQ(regex.Pattern(), "");
  EXPECT_EQ(regex.Replace("ok", "x"), "ok");
}

TEST(RegexServiceSemanticsTest, PatternIsTheTextGiven) {
  RegexService regex;
  EXPECT_EQ(regex.Pattern(), "");
  ASSERT_TRUE(regex.Compile(Gb("^中\\s$")));
  EXPECT_EQ(regex.Pattern(), Gb("^中\\s$"));
  ASSERT_TRUE(regex.Compile(""));
  EXPECT_EQ(regex.Pattern(), "");
  EXPECT_EQ(regex.Execute("ab"), 3);  // the empty pattern matches at every position
}

// ---- Execute and the accessors ----

TEST(RegexServiceExecuteTest, MatchesAndSubMatches) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("(a)(b)?"));
  ASSERT_EQ(regex.Execute("ab a"), 2);
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.MatchValue(1), "ab");
  EXPECT_EQ(regex.MatchValue(2), "a");
  EXPECT_EQ(regex.SubMatchCount(), 2);
  EXPECT_EQ(regex.SubMatch(1, 1), "a");
  EXPECT_EQ(regex.SubMatch(1, 2), "b");
  EXPECT_EQ(regex.SubMatch(2, 2), "");  // did not take part
  int position = -1;
  EXPECT_EQ(regex.MatchValueAt(2, &position), "a");
  EXPECT_EQ(position, 3);
  position = -1;
  EXPECT_EQ(regex.SubMatchAt(1, 2, &position), "b");
  EXPECT_EQ(position, 0);  // the position of the whole match
  EXPECT_EQ(regex.MatchValueAt(1, nullptr), "ab");
  // Out of range.
  EXPECT_EQ(regex.MatchValue(0), "");
  EXPECT_EQ(regex.MatchValue(3), "");
  EXPECT_EQ(regex.SubMatch(1, 0), "");
  EXPECT_EQ(regex.SubMatch(1, 3), "");
  position = 7;
  EXPECT_EQ(regex.MatchValueAt(5, &position), "");
  EXPECT_EQ(position, 7);
}

TEST(RegexServiceExecuteTest, SubMatchCountIsThatOfTheFirstMatch) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("(\\d)(\\d)?"));
  EXPECT_EQ(regex.Execute("1 23 4"), 3);
  EXPECT_EQ(regex.SubMatchCount(), 2);
  EXPECT_EQ(regex.SubMatch(2, 2), "3");
  EXPECT_EQ(regex.Execute("none"), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
}

TEST(RegexServiceExecuteTest, GlobalOffGivesAtMostOneMatch) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("a", true, true, false));
  EXPECT_EQ(regex.Execute("banana"), 1);
  int position = -1;
  EXPECT_EQ(regex.MatchValueAt(1, &position), "a");
  EXPECT_EQ(position, 1);
  EXPECT_EQ(regex.Replace("banana", "o"), "bonana");
}

TEST(RegexServiceExecuteTest, EmptyMatchesAdvanceOneCharacter) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("x*"));
  EXPECT_EQ(regex.Execute(Gb("a中c")), 4);
  int position = -1;
  regex.MatchValueAt(3, &position);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(regex.Replace(Gb("a中c"), "-"), Gb("-a-中-c-"));
  ASSERT_TRUE(regex.Compile("a*"));
  EXPECT_EQ(regex.Replace("aab", "-"), "--b-");
  EXPECT_EQ(regex.Execute("aab"), 3);
  // After an empty match the next search starts one character later, as in
  // JScript (a Perl-style engine would try "b" at the same position).
  ASSERT_TRUE(regex.Compile("x*|b"));
  EXPECT_EQ(regex.Execute("b"), 2);
  EXPECT_EQ(regex.MatchValue(1), "");
  EXPECT_EQ(regex.Replace("b", "-"), "-b-");
}

TEST(RegexServiceExecuteTest, PositionsCountCharactersNotBytes) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("b"));
  int position = -1;
  ASSERT_EQ(regex.Execute(Gb("中文b")), 1);
  regex.MatchValueAt(1, &position);
  EXPECT_EQ(position, 2);
  // A four-byte character is one character.
  ASSERT_EQ(regex.Execute(CodePointToGb18030(0x20000) + "b b"), 2);
  regex.MatchValueAt(1, &position);
  EXPECT_EQ(position, 1);
  regex.MatchValueAt(2, &position);
  EXPECT_EQ(position, 3);
  // Each byte of an invalid unit counts as one.
  ASSERT_EQ(regex.Execute("\x81\x20"
                          "b"),
            1);
  regex.MatchValueAt(1, &position);
  EXPECT_EQ(position, 2);
}

TEST(RegexServiceExecuteTest, MatchTextsComeBackInTheCodePage) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile(Gb("(中+)(文)")));
  ASSERT_EQ(regex.Execute(Gb("x中中文y")), 1);
  EXPECT_EQ(regex.MatchValue(1), Gb("中中文"));
  EXPECT_EQ(regex.SubMatch(1, 1), Gb("中中"));
  EXPECT_EQ(regex.SubMatch(1, 2), Gb("文"));
  ASSERT_TRUE(regex.Compile(Gb("[　\\s]+")));
  ASSERT_EQ(regex.Execute(Gb("a　 　b")), 1);
  EXPECT_EQ(regex.MatchValue(1), Gb("　 　"));
}

TEST(RegexServiceExecuteTest, MatchesKeepsNothing) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("a"));
  ASSERT_EQ(regex.Execute("aaa"), 3);
  EXPECT_TRUE(regex.Matches(Gb("中a")));
  EXPECT_FALSE(regex.Matches("zzz"));
  EXPECT_FALSE(regex.Matches(""));
  EXPECT_EQ(regex.MatchCount(), 3);
  EXPECT_EQ(regex.MatchValue(3), "a");
  RegexService empty;
  EXPECT_FALSE(empty.Matches("a"));
  EXPECT_EQ(empty.Execute("a"), 0);
  EXPECT_EQ(empty.Replace("a", "b"), "a");
  EXPECT_EQ(empty.MatchValue(1), "");
}

TEST(RegexServiceExecuteTest, CopiesShareWhatWasThereAndGoTheirOwnWay) {
  RegexService a;
  ASSERT_TRUE(a.Compile("\\d+"));
  ASSERT_EQ(a.Execute("1 22"), 2);
  RegexService b = a;
  EXPECT_EQ(b.Pattern(), "\\d+");
  EXPECT_EQ(b.MatchValue(2), "22");
  EXPECT_EQ(a.Execute(Gb("中333")), 1);
  EXPECT_EQ(b.MatchCount(), 2);
  EXPECT_EQ(b.MatchValue(2), "22");
  EXPECT_EQ(a.MatchValue(1), "333");
  b = a;
  EXPECT_EQ(b.MatchValue(1), "333");
  RegexService c = std::move(b);
  EXPECT_EQ(c.MatchValue(1), "333");
  ASSERT_TRUE(a.Compile("x"));
  EXPECT_EQ(c.Pattern(), "\\d+");
}

TEST(RegexServiceExecuteTest, CompilingAgainKeepsTheOldMatches) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("a"));
  ASSERT_EQ(regex.Execute("aa"), 2);
  ASSERT_TRUE(regex.Compile("b"));
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.MatchValue(2), "a");
  EXPECT_EQ(regex.Execute("aa"), 0);
  EXPECT_EQ(regex.MatchCount(), 0);
}

// ---- Replace ----

TEST(RegexServiceReplaceTest, ReplacementReferences) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("(b)"));
  EXPECT_EQ(regex.Replace("abc", "[$`|$&|$'|$1|$$|$2|$0|$10|$01|$x|$]"),
            "a[a|b|c|b|$|$2|$0|b0|b|$x|$]c");
  EXPECT_EQ(regex.Replace("abc", "$"), "a$c");
  ASSERT_TRUE(regex.Compile("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)"));
  EXPECT_EQ(regex.Replace("abcdefghijk", "$11$10$1$011"), "kjaa1");
  ASSERT_TRUE(regex.Compile("(x)?y"));
  EXPECT_EQ(regex.Replace("y", "[$1]"), "[]");
}

TEST(RegexServiceReplaceTest, NonAsciiSubjectsAndReplacements) {
  EXPECT_EQ(ReplaceAll(Gb("文"), Gb("中文中文"), Gb("字")), Gb("中字中字"));
  EXPECT_EQ(ReplaceAll("(\\w+)", Gb("中abc"), Gb("【$1】")), Gb("中【abc】"));
  EXPECT_EQ(ReplaceAll("x", "abc", Gb("中")), "abc");
}

TEST(RegexServiceReplaceTest, InvalidBytesSurvive) {
  EXPECT_EQ(ReplaceAll("b",
                       "\x81\x20"
                       "b\xFF",
                       "c"),
            "\x81\x20"
            "c\xFF");
  EXPECT_EQ(ReplaceAll("b",
                       Gb("中") + "\x80\x80"
                                  "b",
                       Gb("文")),
            Gb("中") + "\x80\x80" + Gb("文"));
  // A pattern may name invalid bytes too.
  EXPECT_EQ(ReplaceAll("\x81\x20",
                       "a\x81\x20"
                       "b",
                       "-"),
            "a-b");
  // A second byte that looks like ASCII is not that character.
  EXPECT_EQ(ReplaceAll("\\\\", "\x81\x5C\\", "/"), "\x81\x5C/");
}

TEST(RegexServiceReplaceTest, NoMatchReturnsTheSubjectItself) {
  const std::string odd = "\x81\x20\xFE\xFE\x80";
  EXPECT_EQ(ReplaceAll("zzz", odd, "y"), odd);
}

// ---- Robustness ----

TEST(RegexServiceRobustnessTest, CatastrophicPatternsEnd) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("(a+)+b"));
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(regex.Matches(std::string(40, 'a')));
  EXPECT_EQ(regex.Execute(std::string(40, 'a')), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(RegexServiceRobustnessTest, LongSubjects) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("(x|y)+z"));
  std::string subject(200000, 'x');
  EXPECT_FALSE(regex.Matches(subject));
  subject += "z";
  EXPECT_TRUE(regex.Matches(subject));
  ASSERT_TRUE(regex.Compile("x"));
  EXPECT_EQ(regex.Execute(std::string(100000, 'x')), 100000);
  EXPECT_EQ(regex.Replace(std::string(100000, 'x'), "yy"), std::string(200000, 'y'));
}

TEST(RegexServiceRobustnessTest, RepeatedGroupsMatchWhateverTheSubjectsLength) {
  // Each repetition of a group takes engine stack: the usual stack ends
  // somewhere below a million characters.
  const std::string four = Utf8ToGb18030("귮");  // the subject also goes as UTF-8
  for (const std::string& prefix : {std::string(), four}) {
    RegexService regex;
    ASSERT_TRUE(regex.Compile("(x|y)+z", true, true, false));
    const std::string xs = prefix + std::string(5'000'000, 'x');
    const Result<bool, RegexError> found = regex.Test(xs + "z");
    ASSERT_TRUE(found.ok()) << found.error().message;
    EXPECT_TRUE(*found);
    const Result<int, RegexError> count = regex.TryExecute(xs + "z");
    ASSERT_TRUE(count.ok()) << count.error().message;
    EXPECT_EQ(*count, 1);
    EXPECT_EQ(regex.MatchValue(1).size(), 5'000'001u);
    ASSERT_TRUE(regex.Compile("(?:a|b)*c", true, true, false));
    EXPECT_TRUE(regex.Matches(prefix + std::string(5'000'000, 'a') + "c"));
  }
}

TEST(RegexServiceRobustnessTest, ARunawayIsToldApartFromNoMatch) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile("(a+)+$", false, true, false));
  const std::string subject = std::string(50'000, 'a') + "b";
  const Result<bool, RegexError> tested = regex.Test(subject);
  ASSERT_FALSE(tested.ok());
  EXPECT_EQ(tested.error().reason, RegexError::Reason::kRunaway);
  // Retrying a long repeat from every start is runaway work too: without a
  // "z", (x|y)+z would scan the rest of the subject from each "x".
  ASSERT_TRUE(regex.Compile("(x|y)+z", false, true, false));
  EXPECT_FALSE(regex.Test(std::string(1'000, 'x') + "w").value_or(true));
  const Result<bool, RegexError> quadratic = regex.Test(std::string(1'000'000, 'x') + "w");
  ASSERT_FALSE(quadratic.ok());
  EXPECT_EQ(quadratic.error().reason, RegexError::Reason::kRunaway);
  ASSERT_TRUE(regex.Compile("(a+)+$", false, true, false));
  EXPECT_NE(tested.error().message.find("ran away"), std::string::npos);
  const Result<int, RegexError> executed = regex.TryExecute(subject);
  ASSERT_FALSE(executed.ok());
  EXPECT_EQ(executed.error().reason, RegexError::Reason::kRunaway);
  // The plain calls take it as no match.
  EXPECT_FALSE(regex.Matches(subject));
  EXPECT_EQ(regex.Execute(subject), 0);
  // The same expression on a subject it does not run away on.
  EXPECT_TRUE(regex.Test("aaa").value_or(false));
  EXPECT_FALSE(regex.Test("aaab").value_or(true));
}

TEST(RegexServiceRobustnessTest, ManyMatchesOnManyLabels) {
  RegexService regex;
  ASSERT_TRUE(regex.Compile(RegexService::WildcardToPattern("na*e"), true, true, false));
  int hits = 0;
  for (int i = 0; i < 100000; ++i) {
    std::string label = (i % 10 == 0 ? "Name" : "value") + std::to_string(i);
    if (regex.Matches(label)) ++hits;
  }
  EXPECT_EQ(hits, 10000);
}

}  // namespace
}  // namespace keelnode
