#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/memory_file_system.h"
#include "test_support.h"

namespace keelnode {
namespace {

using testing::G;

constexpr char kPath[] = "/data/s.ini";

class SettingsStoreTest : public ::testing::Test {
 protected:
  SettingsStoreTest() { files_.AddDirectory("/data"); }

  // Opens the store on a file holding `content` (UTF-8 literal, stored as GB18030).
  void OpenWith(std::string_view content) {
    files_.SetFile(kPath, G(content));
    ASSERT_TRUE(store_.Open(kPath));
  }
  // The file as UTF-8, after checking that it mirrors the image.
  std::string FileText() {
    std::string file = files_.File(kPath).value_or("<missing>");
    EXPECT_EQ(file, store_.GetImageText());
    return Gb18030ToUtf8(file);
  }

  MemoryFileSystem files_;
  SettingsStore store_{files_};
};

TEST_F(SettingsStoreTest, FileWrittenFromScratchHasNoLeadingOrTrailingLineBreak) {
  ASSERT_TRUE(store_.Open(kPath));
  EXPECT_EQ(files_.File(kPath), "");  // created when missing
  store_.SetSection(G("JSON树"));
  EXPECT_TRUE(store_.WriteNumber(G("选择夹"), 2));
  EXPECT_EQ(FileText(), "[JSON树]\r\n选择夹=2");
  EXPECT_TRUE(store_.WriteText(G("编辑框查找文本"), "name"));
  EXPECT_EQ(FileText(), "[JSON树]\r\n编辑框查找文本=name\r\n选择夹=2");
  // A second section is appended after a CR LF; existing keys keep their place.
  store_.SetSection("b");
  EXPECT_TRUE(store_.WriteText("k", "v"));
  store_.SetSection(G("JSON树"));
  EXPECT_TRUE(store_.WriteNumber(G("选择夹"), 3));
  EXPECT_EQ(FileText(), "[JSON树]\r\n编辑框查找文本=name\r\n选择夹=3\r\n[b]\r\nk=v");
}

TEST_F(SettingsStoreTest, GrowingAValueShiftsOnlyTheTail) {
  OpenWith("; note\r\n[s]\r\na=1\r\nb=2\r\n[t]\r\nc=3\r\n");
  EXPECT_EQ(store_.WriteEntry("s", "a", "123456789012"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "; note\r\n[s]\r\na=123456789012\r\nb=2\r\n[t]\r\nc=3\r\n");
  EXPECT_EQ(store_.WriteEntry("s", "a", ""), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "; note\r\n[s]\r\na=\r\nb=2\r\n[t]\r\nc=3\r\n");
}

TEST_F(SettingsStoreTest, LastEntryRunsToTheEndOfTheFile) {
  OpenWith("[s]\r\nk=old");
  EXPECT_EQ(store_.ReadEntry("s", "k"), "old");
  EXPECT_EQ(store_.WriteEntry("s", "k", "newer"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[s]\r\nk=newer");
}

TEST_F(SettingsStoreTest, HeadersCountOnlyAtTheStartOfALine) {
  OpenWith("[a]\r\nk=[b]\r\nm=x\n[b]\r\nz=1");
  EXPECT_EQ(store_.ReadEntry("b", "k", "none"), "none");
  EXPECT_EQ(store_.ReadEntry("b", "z", "none"), "none");  // after a lone LF
  EXPECT_EQ(store_.WriteEntry("b", "k", "2"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[a]\r\nk=[b]\r\nm=x\n[b]\r\nz=1\r\n[b]\r\nk=2");
  EXPECT_EQ(store_.ReadEntry("a", "k"), "[b]");
}

TEST_F(SettingsStoreTest, TextAfterAHeaderGetsALineOfItsOwn) {
  OpenWith("[a]\r\nz=0\r\n[s] ; note\r\nk=1\r\n[t]x");
  // "[s] ; note" is not a header line for the boundary test, so section a
  // reaches down to k; once a key is written under [s] it is one.
  EXPECT_EQ(store_.ReadEntry("a", "k"), "1");
  EXPECT_EQ(store_.WriteEntry("s", "j", "2"), SettingsStore::kDone);
  EXPECT_EQ(store_.WriteEntry("t", "m", ""), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[a]\r\nz=0\r\n[s]\r\nj=2\r\n ; note\r\nk=1\r\n[t]\r\nm=\r\nx");
  EXPECT_EQ(store_.ReadEntry("s", "j"), "2");
  EXPECT_EQ(store_.ReadEntry("t", "m", "d"), "");
  EXPECT_EQ(store_.ReadEntry("a", "k", "d"), "d");
}

TEST_F(SettingsStoreTest, KeyOfALaterSectionIsAbsentInAnEarlierOne) {
  OpenWith("[a]\r\nx=1\r\n[b]\r\nk=2");
  EXPECT_EQ(store_.ReadEntry("a", "k", "d"), "d");
  EXPECT_EQ(store_.WriteEntry("a", "k", "5"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[a]\r\nk=5\r\nx=1\r\n[b]\r\nk=2");
  EXPECT_EQ(store_.ReadEntry("b", "k"), "2");
}

TEST_F(SettingsStoreTest, KeysMatchWholeNamesAndValuesKeepLaterEqualsSigns) {
  OpenWith("[s]\r\nab=1\r\nk=x=y\r\nK=upper");
  EXPECT_EQ(store_.ReadEntry("s", "b", "absent"), "absent");
  EXPECT_EQ(store_.ReadEntry("s", "k"), "x=y");
  EXPECT_EQ(store_.ReadEntry("s", "K"), "upper");
  EXPECT_EQ(store_.WriteEntry("s", "b", "2"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[s]\r\nb=2\r\nab=1\r\nk=x=y\r\nK=upper");
}

TEST_F(SettingsStoreTest, EmptyValueIsNotAnAbsentKey) {
  OpenWith("[s]\r\ne=");
  EXPECT_EQ(store_.ReadEntry("s", "e", "d"), "");
  EXPECT_EQ(store_.ReadEntry("s", "e", "d", /*empty_as_default=*/true), "d");
  EXPECT_EQ(store_.ReadEntry("s", "missing", "d"), "d");
  EXPECT_EQ(store_.LookUp("s", "e"), "");
  EXPECT_EQ(store_.LookUp("s", "missing"), std::nullopt);
  store_.SetSection("s");
  EXPECT_EQ(store_.ReadText("e", "d"), "");
  EXPECT_EQ(store_.ReadNumber("e", 7), 0);
}

TEST_F(SettingsStoreTest, FirstOccurrenceWins) {
  OpenWith("[s]\r\nk=1\r\nk=2\r\n[t]\r\n[s]\r\nk=3\r\nj=4");
  EXPECT_EQ(store_.ReadEntry("s", "k"), "1");
  // The second [s] is never consulted.
  EXPECT_EQ(store_.ReadEntry("s", "j", "absent"), "absent");
  EXPECT_EQ(store_.WriteEntry("s", "k", "9"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[s]\r\nk=9\r\nk=2\r\n[t]\r\n[s]\r\nk=3\r\nj=4");
}

TEST_F(SettingsStoreTest, LoneCarriageReturnsAndLineFeedsAreValueContent) {
  OpenWith("[s]\r\nk=a\rb\nc\r\nz=1");
  EXPECT_EQ(store_.ReadEntry("s", "k"), "a\rb\nc");
  EXPECT_EQ(store_.WriteEntry("s", "k", "x\r"), SettingsStore::kDone);
  EXPECT_EQ(store_.ReadEntry("s", "k"), "x\r");
  EXPECT_EQ(store_.ReadEntry("s", "z"), "1");
}

TEST_F(SettingsStoreTest, WritesThatWouldBreakTheLineStructureAreRefused) {
  OpenWith("[s]\r\nk=1");
  EXPECT_EQ(store_.WriteEntry("s", "k", "a\r\n[t]"), SettingsStore::kFailed);
  EXPECT_EQ(store_.WriteEntry("s\r\nx", "k", "1"), SettingsStore::kFailed);
  EXPECT_EQ(store_.WriteEntry("s", "k\r\n", "1"), SettingsStore::kFailed);
  // A key line "[x]=…" would be found as the header of section "x", and
  // "[x" + "=" + "y]" would be a header line of its own.
  EXPECT_EQ(store_.WriteEntry("s", "[x]", "1"), SettingsStore::kFailed);
  EXPECT_EQ(store_.WriteEntry("s", "[x", "y]"), SettingsStore::kFailed);
  EXPECT_EQ(store_.RenameSection("s", "a\r\nb"), SettingsStore::kFailed);
  EXPECT_EQ(store_.RenameEntry("s", "k", "[k"), SettingsStore::kFailed);
  EXPECT_EQ(FileText(), "[s]\r\nk=1");
  EXPECT_EQ(store_.WriteEntry("s", "x[", "y]"), SettingsStore::kDone);
}

TEST_F(SettingsStoreTest, ValuesAreCutAtAZeroByte) {
  files_.SetFile(kPath, std::string("[s]\r\nk=ab\0cd\r\nz=1", 17));
  ASSERT_TRUE(store_.Open(kPath));
  EXPECT_EQ(store_.ReadEntry("s", "k"), "ab");
  EXPECT_EQ(store_.ReadEntry("s", "z"), "1");
}

TEST_F(SettingsStoreTest, GarbageFileReadsDefaultsAndKeepsItsBytes) {
  std::string garbage;
  for (unsigned i = 0; i < 300000; ++i)
    garbage.push_back(static_cast<char>(i * 7919u % 251));
  garbage += "\r[s]\n[s]x\r\n[s\r\n\r\n[";
  files_.SetFile(kPath, garbage);
  ASSERT_TRUE(store_.Open(kPath));
  EXPECT_EQ(store_.ReadEntry("s", "k", "d"), "d");
  EXPECT_EQ(store_.WriteEntry("s", "k", "1"), SettingsStore::kDone);
  EXPECT_EQ(files_.File(kPath), garbage + "\r\n[s]\r\nk=1");
  EXPECT_EQ(store_.ReadEntry("s", "k"), "1");
}

TEST_F(SettingsStoreTest, FiftyMegabyteFileOpensAndEditsAtItsEnd) {
  std::string big(50u << 20, 'x');
  for (size_t i = 0; i < big.size(); i += 997)
    big[i] = '[';
  for (size_t i = 500; i < big.size(); i += 4099)
    big[i] = '\r';
  files_.SetFile(kPath, big);
  ASSERT_TRUE(store_.Open(kPath));
  EXPECT_EQ(store_.ReadEntry("x", "k", "d"), "d");
  EXPECT_EQ(store_.WriteEntry("s", "k", "1"), SettingsStore::kDone);
  std::string file = files_.File(kPath).value();
  EXPECT_EQ(file.size(), big.size() + 10);
  EXPECT_EQ(file.compare(0, big.size(), big), 0);
}

TEST_F(SettingsStoreTest, FindSectionHeaderBetweenUsesOneBasedPositions) {
  OpenWith("[a]\r\nk=1\r\n[b]\r\nj=2\r\n[c\r\nx]\r\n");
  // "[b]" starts at position 11.
  EXPECT_EQ(store_.FindSectionHeaderBetween(1, 30), 11);
  EXPECT_EQ(store_.FindSectionHeaderBetween(1, 9), -1);
  EXPECT_EQ(store_.FindSectionHeaderBetween(12, 30), -1);  // "[c" ends its line without "]"
  EXPECT_EQ(store_.FindSectionHeaderBetween(30, 1), -1);
}

TEST_F(SettingsStoreTest, DeleteAndRenameEditOnlyTheirBytes) {
  OpenWith("[a]\r\nk=1\r\nj=2\r\n[b]\r\nk=3");
  EXPECT_EQ(store_.DeleteEntry("a", "k"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[a]\r\nj=2\r\n[b]\r\nk=3");
  EXPECT_EQ(store_.DeleteEntry("a", "k"), SettingsStore::kFailed);
  EXPECT_EQ(store_.RenameSection("b", "bee"), SettingsStore::kDone);
  EXPECT_EQ(store_.RenameEntry("bee", "k", "key"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[a]\r\nj=2\r\n[bee]\r\nkey=3");
  EXPECT_EQ(store_.RenameSection("none", "x"), SettingsStore::kFailed);
  EXPECT_EQ(store_.RenameEntry("a", "none", "x"), SettingsStore::kFailed);
}

TEST_F(SettingsStoreTest, ListsSectionsAndKeys) {
  OpenWith("[a]\r\nk=1\r\nnote\r\nj=2\r\n[b]\r\nk=2\r\n[ab]\r\nm=2");
  EXPECT_EQ(store_.ListSections(), (std::vector<std::string>{"a", "b", "ab"}));
  EXPECT_EQ(store_.ListSections("a"), (std::vector<std::string>{"a", "ab"}));
  EXPECT_EQ(store_.ListSections("a", "b"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(store_.ListKeys("a"), (std::vector<std::string>{"k", "j"}));
  EXPECT_EQ(store_.ListKeys("none"), std::vector<std::string>{});
  EXPECT_EQ(store_.ListSectionsWithKey("k"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(store_.FindKeysByValue("2"), (std::vector<std::string>{"j", "k", "m"}));
  EXPECT_EQ(store_.FindKeysByValue("2", "ab"), (std::vector<std::string>{"m"}));
}

TEST_F(SettingsStoreTest, ImageTextReplacesOrAppendsAndIsMirrored) {
  OpenWith("[a]\r\nk=1");
  EXPECT_TRUE(store_.SetImageText("\r\n[b]", /*append=*/true));
  EXPECT_EQ(FileText(), "[a]\r\nk=1\r\n[b]");
  EXPECT_TRUE(store_.SetImageText("[c]"));
  EXPECT_EQ(FileText(), "[c]");
  EXPECT_TRUE(store_.SaveImageAs("/data/copy.ini"));
  EXPECT_EQ(files_.File("/data/copy.ini"), "[c]");
  EXPECT_TRUE(store_.SaveImageAs());  // the held file already is the image
  EXPECT_EQ(files_.File(kPath), "[c]");
}

TEST_F(SettingsStoreTest, MemoryOnlyModeNeverWritesTheFile) {
  files_.SetFile(kPath, "[s]\r\nk=1");
  ASSERT_TRUE(store_.Open(kPath, StorageMode::kMemoryOnly));
  EXPECT_EQ(store_.WriteEntry("s", "k", "2"), SettingsStore::kDone);
  EXPECT_EQ(store_.ReadEntry("s", "k"), "2");
  EXPECT_EQ(files_.File(kPath), "[s]\r\nk=1");
  store_.Reload();
  EXPECT_EQ(store_.ReadEntry("s", "k"), "1");
  // Memory-only on a missing file: nothing is created.
  ASSERT_TRUE(store_.Open("/data/none.ini", StorageMode::kMemoryOnly));
  EXPECT_EQ(store_.WriteEntry("s", "k", "1"), SettingsStore::kDone);
  EXPECT_EQ(files_.File("/data/none.ini"), std::nullopt);
}

TEST_F(SettingsStoreTest, CloseEmptiesTheImageAndDropsTheFile) {
  OpenWith("[s]\r\nk=1");
  store_.Close();
  EXPECT_EQ(store_.GetImageText(), "");
  EXPECT_EQ(store_.WriteEntry("s", "k", "2"), SettingsStore::kFailed);
  EXPECT_EQ(files_.File(kPath), "[s]\r\nk=1");
  store_.Reload();
  EXPECT_EQ(store_.ReadEntry("s", "k"), "1");
}

TEST_F(SettingsStoreTest, FileThatCannotBeOpenedIsReadButNotWritten) {
  // No folder: nothing to read, nothing saved, and the store says so.
  EXPECT_FALSE(store_.Open("/nowhere/s.ini"));
  EXPECT_EQ(store_.ReadEntry("s", "k", "d"), "d");
  store_.SetSection("s");
  EXPECT_FALSE(store_.WriteText("k", "v"));
  EXPECT_EQ(store_.ReadText("k"), "v");  // this run still sees its own change
}

TEST_F(SettingsStoreTest, SecondStoreOnTheSamePathReadsButCannotWrite) {
  OpenWith("[s]\r\nk=1");
  SettingsStore second(files_);
  EXPECT_FALSE(second.Open(kPath));
  EXPECT_EQ(second.ReadEntry("s", "k"), "1");
  EXPECT_EQ(second.WriteEntry("s", "k", "2"), SettingsStore::kFailed);
  EXPECT_EQ(store_.WriteEntry("s", "j", "3"), SettingsStore::kDone);
  EXPECT_EQ(FileText(), "[s]\r\nj=3\r\nk=1");
  store_.Close();
  SettingsStore third(files_);
  EXPECT_TRUE(third.Open(kPath));
}

TEST_F(SettingsStoreTest, WriteIssuedDuringARunningWriteIsQueuedAndRunsRightAfter) {
  OpenWith("[s]\r\nfirst=0");
  int nested_result = -99;
  bool nested_typed = true;
  std::string image_seen_by_handler;
  testing::YieldHookScope hook([&] {
    image_seen_by_handler = store_.GetImageText();
    nested_result = store_.WriteEntry("s", "second", "2");
    store_.SetSection("s");
    nested_typed = store_.WriteText("third", "3");
    EXPECT_EQ(store_.ProcessPending(), SettingsStore::kQueued);
    EXPECT_EQ(store_.RunPendingEdits(), EditOutcome::kQueued);
  });
  EXPECT_EQ(store_.WriteEntry("s", "first", "1"), SettingsStore::kDone);
  EXPECT_EQ(nested_result, SettingsStore::kQueued);
  EXPECT_FALSE(nested_typed);
  EXPECT_EQ(image_seen_by_handler, "[s]\r\nfirst=0");
  // Both queued writes ran, in arrival order, once the first was done.
  EXPECT_EQ(FileText(), "[s]\r\nthird=3\r\nsecond=2\r\nfirst=1");
  EXPECT_EQ(store_.ProcessPending(), -1);
  // The typed form tells an empty queue from a failed edit.
  EXPECT_EQ(store_.RunPendingEdits(), std::nullopt);
}

TEST_F(SettingsStoreTest, SectionThatNeverAppearsGivesUpAfterElevenAppends) {
  ASSERT_TRUE(store_.Open(kPath, StorageMode::kMemoryOnly));
  struct Shown {
    std::string text;
    unsigned flags;
    std::string caption;
  };
  std::vector<Shown> shown;
  store_.SetMessageHook([&](std::string_view text, unsigned flags, std::string_view caption) {
    shown.push_back({std::string(text), flags, std::string(caption)});
    return 1;
  });
  int passes = 0;
  // An event handler that keeps emptying the image under the write.
  testing::YieldHookScope hook([&] {
    ++passes;
    store_.SetImageText("x");
    testing::YieldHookScope::FireOnNextYield();
  });
  store_.SetSection("s");
  EXPECT_FALSE(store_.WriteText("k", "v"));
  EXPECT_EQ(passes, 11);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, G("配置模块出现意外，可能导致无法正常保存！详情请咨询岚溪。"));
  EXPECT_EQ(shown[0].flags, 0x1030u);
  EXPECT_EQ(shown[0].caption, G("岚溪："));
  EXPECT_EQ(shown[1].text, "x\r\n[s]");  // the image as it is left
  EXPECT_EQ(shown[1].flags, 0u);
  EXPECT_EQ(shown[1].caption, G("信息："));
}

TEST(ProgramMessageTest, AddsTheInformationIconUnlessOneIsGivenAndIsAlwaysSystemModal) {
  std::vector<std::pair<unsigned, std::string>> calls;
  MessageHook hook = [&](std::string_view, unsigned flags, std::string_view caption) {
    calls.emplace_back(flags, std::string(caption));
    return 7;
  };
  EXPECT_EQ(ShowProgramMessage(hook, "t", 0), 7);
  ShowProgramMessage(hook, "t", 0x1);  // OK/Cancel, no icon
  ShowProgramMessage(hook, "t", 0x10, "c");
  ShowProgramMessage(hook, "t", 0x20);
  ShowProgramMessage(hook, "t", 0x30);
  ShowProgramMessage(hook, "t", 0x40 | 0x1000);
  const std::string caption = G("岚溪：");
  EXPECT_EQ(calls, (std::vector<std::pair<unsigned, std::string>>{{0x1040, caption},
                                                                  {0x1041, caption},
                                                                  {0x1010, "c"},
                                                                  {0x1020, caption},
                                                                  {0x1030, caption},
                                                                  {0x1040, caption}}));
  EXPECT_EQ(ShowProgramMessage(nullptr, G("无窗口"), 0), 1);  // to stderr
}

}  // namespace
}  // namespace keelnode
