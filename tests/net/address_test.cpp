#include "net/address.h"

#include <gtest/gtest.h>

#include "test_bytes.h"

namespace keelnode {
namespace {

using nettest::gb;

TEST(AddressTest, TrimsBlanksOfEveryKindAtBothEnds) {
  EXPECT_EQ(trimAddress(" \t" + gb("　") + "http://a/ b\r\n "), "http://a/ b");
  EXPECT_EQ(trimAddress(gb("　 　")), "");
  // B0 A1 is a character; the A1 after it is no half of a full-width space.
  const std::string tail = "http://a/" + gb("啊") + "\xA1";
  EXPECT_EQ(trimAddress(tail), tail);
}

TEST(AddressTest, FragmentAndScheme) {
  EXPECT_EQ(withoutFragment("http://a/b?c#d#e"), "http://a/b?c");
  EXPECT_TRUE(hasWebScheme("HTTPS://a"));
  EXPECT_FALSE(hasWebScheme("ftp://a"));
  EXPECT_EQ(withWebScheme("Http://a"), "Http://a");
  EXPECT_EQ(withWebScheme("a.example/x"), "http://a.example/x");
}

TEST(AddressTest, WireFormEscapesWhatCannotStandInARequestLine) {
  EXPECT_EQ(toWireAddress("http://h:1/" + gb("路径") + " a?q=\"<>\"#f"),
            "http://h:1/%E8%B7%AF%E5%BE%84%20a?q=%22%3C%3E%22#f");
  EXPECT_EQ(toWireAddress("http://h/a\r\nX: y"), "http://h/a%0D%0AX:%20y");
  EXPECT_EQ(toWireAddress("http://h/%41?a=b&c"), "http://h/%41?a=b&c");
  EXPECT_EQ(toWireAddress("http://" + gb("例子") + ".cn/"), "http://例子.cn/");
}

}  // namespace
}  // namespace keelnode
