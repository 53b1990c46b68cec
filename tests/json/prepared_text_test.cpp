#include "json/prepared_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace keelnode {
namespace {

// The first `delimiter` in masked()[from, limit), found the plain way.
size_t Expected(const PreparedText& text, char delimiter, size_t from, size_t limit) {
  const size_t hit = text.masked().substr(0, limit).find(delimiter, from);
  return hit;
}

TEST(PreparedTextTest, SearchesAnswerAlikeBeforeAndAfterTheBlockIndex) {
  // Deep nesting with strings and commas: searches from every level for a
  // far closer make the index appear part way through.
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += i % 3 ? "{\"k\":[\"a,}\"," : "[{\"x\":1},";
  text += "0";
  for (int i = 2999; i >= 0; --i)
    text += i % 3 ? "]}" : "]";
  const PreparedText prepared(text);
  std::mt19937 random(5);
  for (int round = 0; round < 20000; ++round) {
    const size_t from = random() % text.size();
    const size_t limit = from + random() % (text.size() - from + 1);
    const char delimiter = "{}[]\":,"[random() % 7];
    ASSERT_EQ(prepared.Find(delimiter, from, limit), Expected(prepared, delimiter, from, limit))
        << "delimiter " << delimiter << " from " << from << " limit " << limit;
  }
}

}  // namespace
}  // namespace keelnode
