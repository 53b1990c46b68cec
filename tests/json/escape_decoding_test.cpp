#include "json/escape_decoding.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {
TEST(EscapeDecodingTest, LeavesPlainTextAlone) { EXPECT_EQ(decodeUnicodeEscapes("abc", false), "abc"); }
}  // namespace
}  // namespace keelnode
