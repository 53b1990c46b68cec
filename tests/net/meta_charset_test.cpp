#include "net/meta_charset.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

TEST(MetaCharsetTest, KeywordsInEveryQuotingAndCase) {
  EXPECT_EQ(findMetaCharset("<meta charset=utf-8>"), CharsetMode::Utf8);
  EXPECT_EQ(findMetaCharset("<META CONTENT=\"text/html; CHARSET=UTF-8\">"), CharsetMode::Utf8);
  EXPECT_EQ(findMetaCharset("<meta charset='utf-8'>"), CharsetMode::Utf8);
  EXPECT_EQ(findMetaCharset("<meta charset=\"big5\">"), CharsetMode::Big5);
  EXPECT_EQ(findMetaCharset("<meta charset='Big5-HKSCS'>"), CharsetMode::Big5Hkscs);
  EXPECT_EQ(findMetaCharset("<meta charset=\"Big5-HKSCS\">"), CharsetMode::Big5Hkscs);
  // Unquoted, charset=Big5 is found inside charset=Big5-HKSCS first.
  EXPECT_EQ(findMetaCharset("<meta charset=Big5-HKSCS>"), CharsetMode::Big5);
  EXPECT_EQ(findMetaCharset("<meta charset=gb2312>"), std::nullopt);
  EXPECT_EQ(findMetaCharset("charset=utf-8"), std::nullopt);  // not inside a meta tag
}

TEST(MetaCharsetTest, OnlyTheHeadIsSearchedWhenThereIsOne) {
  EXPECT_EQ(findMetaCharset("<head><title>t</title></head><meta charset=utf-8>"), std::nullopt);
  EXPECT_EQ(findMetaCharset("<HEAD><meta charset=big5></HEAD>"), CharsetMode::Big5);
  // An empty head or a missing closing tag: the whole text is searched.
  EXPECT_EQ(findMetaCharset("<head></head><meta charset=utf-8>"), CharsetMode::Utf8);
  EXPECT_EQ(findMetaCharset("<head><meta charset=utf-8>"), CharsetMode::Utf8);
}

TEST(MetaCharsetTest, TagsAreTakenInOrderAndAnEmptyOneEndsTheSearch) {
  EXPECT_EQ(findMetaCharset("<meta name=x><meta charset=big5><meta charset=utf-8>"),
            CharsetMode::Big5);
  EXPECT_EQ(findMetaCharset("<meta><meta charset=utf-8>"), std::nullopt);
  EXPECT_EQ(findMetaCharset("<meta charset=utf-8"), std::nullopt);  // never closed
}

}  // namespace
}  // namespace keelnode
