#include "settings/undo_journal.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

TEST(UndoJournalTest, RecordsRoundTripAndRejectAnyDamage) {
  const UndoRecord record{12, 40, std::string("old\0bytes\r\n", 11)};
  const std::string encoded = EncodeUndoRecord(record);
  std::optional<UndoRecord> decoded = DecodeUndoRecord(encoded);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->offset, 12u);
  EXPECT_EQ(decoded->old_size, 40u);
  EXPECT_EQ(decoded->old_bytes, record.old_bytes);
  for (size_t cut = 0; cut < encoded.size(); ++cut) {
    EXPECT_FALSE(DecodeUndoRecord(encoded.substr(0, cut))) << "cut at " << cut;
  }
  for (size_t at = 0; at < encoded.size(); ++at) {
    std::string flipped = encoded;
    flipped[at] ^= 0x20;
    EXPECT_FALSE(DecodeUndoRecord(flipped)) << "byte " << at;
  }
  EXPECT_FALSE(DecodeUndoRecord(encoded + "x"));
}

TEST(UndoJournalTest, ApplyingPutsTheOldBytesBackAndTheOldSize) {
  // The tail moved: old bytes run to the old end.
  EXPECT_EQ(ApplyUndoRecord("abXYZWVUT", {2, 6, "cdef"}), "abcdef");
  EXPECT_EQ(ApplyUndoRecord("abX", {2, 6, "cdef"}), "abcdef");
  EXPECT_EQ(ApplyUndoRecord("ab", {2, 6, "cdef"}), "abcdef");
  // Same length: only the changed range was kept; the rest stays.
  EXPECT_EQ(ApplyUndoRecord("abXXef", {2, 6, "cd"}), "abcdef");
  // Records that do not fit the content.
  EXPECT_FALSE(ApplyUndoRecord("a", {2, 6, "cdef"}));
  EXPECT_FALSE(ApplyUndoRecord("abXX", {2, 6, "cd"}));
  EXPECT_FALSE(ApplyUndoRecord("abcdef", {2, 3, "cd"}));
}

}  // namespace
}  // namespace keelnode
