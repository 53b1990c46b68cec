#include "services/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace keelnode {
namespace {

Result<int> ParseDigit(char c) {
  if (c < '0' || c > '9') return Fail(std::string("not a digit: ") + c);
  return c - '0';
}

Status Check(bool good) {
  if (!good) return Fail("check failed");
  return Ok();
}

enum class Why { kTimeout, kRefused };
struct WhyError {
  Why why;
  std::string message;
};

TEST(ResultTest, CarriesAValueOrAReason) {
  const Result<int> seven = ParseDigit('7');
  ASSERT_TRUE(seven.ok());
  EXPECT_EQ(*seven, 7);
  EXPECT_EQ(seven.value_or(-1), 7);

  const Result<int> bad = ParseDigit('x');
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().message, "not a digit: x");
  EXPECT_EQ(bad.value_or(-1), -1);
}

TEST(ResultTest, AStringValueIsNotTakenForAReason) {
  // Both sides can be built from a string; only Fail() makes an error.
  const Result<std::string> text = std::string("body");
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(text->size(), 4u);
  const Result<std::string> empty = "";
  EXPECT_TRUE(empty.ok());
  const Result<std::string> failed = Fail("timed out");
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.error().message, "timed out");
}

TEST(ResultTest, MoveOnlyValuesAndDomainErrors) {
  Result<std::unique_ptr<int>, WhyError> owned = std::make_unique<int>(3);
  ASSERT_TRUE(owned.ok());
  std::unique_ptr<int> taken = std::move(owned).value();
  EXPECT_EQ(*taken, 3);

  const Result<std::unique_ptr<int>, WhyError> refused =
      Fail(WhyError{Why::kRefused, "connection refused"});
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().why, Why::kRefused);
}

TEST(ResultTest, StatusSaysOnlyWhetherAndWhy) {
  EXPECT_TRUE(Check(true).ok());
  const Status failed = Check(false);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().message, "check failed");
}

}  // namespace
}  // namespace keelnode
