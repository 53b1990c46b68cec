// The settings file's in-place edits under injected faults: whatever fails,
// and wherever a crash stops an edit, the next open finds a file the store
// committed, never a half-edited one.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/forwarding_file_system.h"
#include "settings/memory_file_system.h"
#include "settings/settings_store.h"
#include "settings/undo_journal.h"

namespace keelnode {
namespace {

constexpr char kPath[] = "/data/s.ini";
constexpr char kSpare[] = "/state/keelnode";

// A file system whose folder /data holds the settings file with `content`.
MemoryFileSystem FilesWith(std::string content) {
  MemoryFileSystem files;
  files.AddDirectory("/data");
  files.AddDirectory("/state");
  files.SetFile(kPath, std::move(content));
  return files;
}

// Where the undo records go.
enum class JournalPlace { kBeside, kSpareFolder, kNowhere };

std::string PlaceName(const ::testing::TestParamInfo<JournalPlace>& info) {
  switch (info.param) {
    case JournalPlace::kBeside:
      return "Beside";
    case JournalPlace::kSpareFolder:
      return "SpareFolder";
    case JournalPlace::kNowhere:
      return "Nowhere";
  }
  return "";
}

constexpr char kInitial[] = "; kept\r\n[s]\r\nold=1\r\n[t]\r\nz=9";

// Every kind of edit: new section and key, growth, shrinking, same length,
// deletion, and a tail that moves or not.
void RunEdits(SettingsStore& store) {
  store.WriteEntry("s", "a", "1");
  store.WriteEntry("u", "b", "22");
  store.WriteEntry("s", "a", "333333");
  store.WriteEntry("s", "old", "");
  store.WriteEntry("s", "a", "444444");
  store.DeleteEntry("t", "z");
  store.RenameSection("u", "uu");
}

// Every fault test runs with the journal beside the file, in the spare
// folder (the file's folder takes no new files), and nowhere (neither
// does): the last can lose the interrupted edit's bytes in a crash, so it
// only takes part where nothing crashes.
class SettingsFileFaultTest : public ::testing::TestWithParam<JournalPlace> {
 protected:
  void SetUp() override {
    // A clean run gives the committed states (no journal anywhere) and the
    // number of operations to fail.
    MemoryFileSystem files = NewFiles();
    committed_.insert(kInitial);
    files.SetObserver([&] {
      if (!files.File(UndoJournalPath(kPath)) && !files.File(SpareJournal())) {
        committed_.insert(files.File(kPath).value());
      }
    });
    SettingsStore store(files);
    Open(store);
    RunEdits(store);
    final_ = files.File(kPath).value();
    operations_ = files.mutation_count();
  }

  MemoryFileSystem NewFiles() const {
    MemoryFileSystem files = FilesWith(kInitial);
    files.AddDirectory(kSpare);
    if (GetParam() != JournalPlace::kBeside) files.SetReadOnly("/data");
    if (GetParam() == JournalPlace::kNowhere) files.SetReadOnly(kSpare);
    return files;
  }
  static std::string SpareJournal() { return SpareUndoJournalPath(kSpare, kPath); }
  static void Open(SettingsStore& store) {
    store.SetSpareJournalFolder(kSpare);
    ASSERT_TRUE(store.Open(kPath));
  }

  // The next run: what it loads, and that it can edit the file again.
  void ExpectRecovered(MemoryFileSystem& files, const std::string& context) {
    files.Revive();
    SettingsStore next(files);
    next.SetSpareJournalFolder(kSpare);
    ASSERT_TRUE(next.Open(kPath)) << context;
    EXPECT_TRUE(committed_.count(next.GetImageText())) << context << "\n" << next.GetImageText();
    EXPECT_EQ(files.File(kPath), next.GetImageText()) << context;
    EXPECT_FALSE(files.File(UndoJournalPath(kPath))) << context;
    EXPECT_FALSE(files.File(SpareJournal())) << context;
    EXPECT_EQ(next.WriteEntry("s", "after", "ok"), SettingsStore::kDone) << context;
    EXPECT_EQ(files.File(kPath), next.GetImageText()) << context;
  }

  std::set<std::string> committed_;
  std::string final_;
  int operations_ = 0;
};

TEST_P(SettingsFileFaultTest, CleanRunCommitsEveryEdit) {
  EXPECT_EQ(final_, "; kept\r\n[s]\r\na=444444\r\nold=\r\n[t]\r\n[uu]\r\nb=22");
  EXPECT_GE(committed_.size(), 8u);
  EXPECT_GT(operations_, GetParam() == JournalPlace::kNowhere ? 7 : 20);
}

TEST_P(SettingsFileFaultTest, CrashAtAnyOperationLeavesACommittedFile) {
  if (GetParam() == JournalPlace::kNowhere) GTEST_SKIP() << "nothing to restore from";
  for (int n = 0; n < operations_; ++n) {
    MemoryFileSystem files = NewFiles();
    SettingsStore store(files);
    Open(store);
    files.FailAt(n, /*crash=*/true);
    RunEdits(store);
    store.Close();
    ExpectRecovered(files, "crash at operation " + std::to_string(n));
  }
}

TEST_P(SettingsFileFaultTest, FailedOperationIsUndoneAndStopsFurtherEdits) {
  for (int n = 0; n < operations_; ++n) {
    const std::string context = "failure at operation " + std::to_string(n);
    MemoryFileSystem files = NewFiles();
    SettingsStore store(files);
    Open(store);
    files.FailAt(n, /*crash=*/false);
    RunEdits(store);
    // The image went on; the file stopped at a committed state, and every
    // write since the failure said it was not saved.
    const std::string left = files.File(kPath).value();
    EXPECT_EQ(store.WriteEntry("s", "late", "x"), SettingsStore::kFailed) << context;
    EXPECT_EQ(files.File(kPath), left) << context;
    EXPECT_NE(store.GetImageText(), left) << context;
    EXPECT_TRUE(store.SaveFailed()) << context;
    store.Close();
    ExpectRecovered(files, context);
  }
}

INSTANTIATE_TEST_SUITE_P(Journals, SettingsFileFaultTest,
                         ::testing::Values(JournalPlace::kBeside, JournalPlace::kSpareFolder,
                                           JournalPlace::kNowhere),
                         PlaceName);

TEST(SettingsFileTest, ReaderWithoutTheLockAppliesTheJournalOnlyToWhatItReads) {
  MemoryFileSystem files = FilesWith("[s]\r\nk=222\r\nj");
  const std::string journal = EncodeUndoRecord({7, 13, "1\r\nj=2"});
  files.SetFile(UndoJournalPath(kPath), journal);
  OpenedFile holder = files.OpenForEditing(kPath);  // someone is mid-edit
  SettingsStore reader(files);
  EXPECT_FALSE(reader.Open(kPath));
  EXPECT_EQ(reader.ReadEntry("s", "j"), "2");
  EXPECT_EQ(files.File(kPath), "[s]\r\nk=222\r\nj");
  EXPECT_EQ(files.File(UndoJournalPath(kPath)), journal);
  // Memory-only mode reads the same way.
  SettingsStore memory(files);
  memory.Open(kPath, StorageMode::kMemoryOnly);
  EXPECT_EQ(memory.GetImageText(), "[s]\r\nk=1\r\nj=2");
}

TEST(SettingsFileTest, UnusableJournalIsDroppedAndTheFileKept) {
  for (const std::string& journal :
       {std::string("KNUNDO1\n garbage"), EncodeUndoRecord({99, 120, "far beyond the end"}),
        EncodeUndoRecord({0, 3, "abc"}).substr(0, 20)}) {
    MemoryFileSystem files = FilesWith("[s]\r\nk=1");
    files.SetFile(UndoJournalPath(kPath), journal);
    SettingsStore store(files);
    ASSERT_TRUE(store.Open(kPath));
    EXPECT_EQ(store.GetImageText(), "[s]\r\nk=1");
    EXPECT_EQ(files.File(kPath), "[s]\r\nk=1");
    EXPECT_FALSE(files.File(UndoJournalPath(kPath)));
  }
}

TEST(SettingsFileTest, UnchangedValueTouchesNothing) {
  MemoryFileSystem files = FilesWith("[s]\r\nk=1");
  SettingsStore store(files);
  ASSERT_TRUE(store.Open(kPath));
  const int before = files.mutation_count();
  EXPECT_EQ(store.WriteEntry("s", "k", "1"), SettingsStore::kDone);
  EXPECT_EQ(files.mutation_count(), before);
}

TEST(SettingsFileTest, SameLengthEditJournalsOnlyTheChangedBytes) {
  MemoryFileSystem files = FilesWith("[s]\r\nk=1\r\nlong tail that does not move");
  std::string journal_seen;
  files.SetObserver([&] {
    if (auto journal = files.File(UndoJournalPath(kPath))) journal_seen = *journal;
  });
  SettingsStore store(files);
  ASSERT_TRUE(store.Open(kPath));
  EXPECT_EQ(store.WriteEntry("s", "k", "2"), SettingsStore::kDone);
  std::optional<UndoRecord> record = DecodeUndoRecord(journal_seen);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->offset, 7u);
  EXPECT_EQ(record->old_bytes, "1");
  EXPECT_EQ(record->old_size, 38u);
}

// Another program that writes the file every time anyone looks at it.
class RestlessFiles final : public ForwardingFileSystem {
 public:
  explicit RestlessFiles(MemoryFileSystem& files) : ForwardingFileSystem(files), memory_(files) {}
  std::optional<FileStamp> Stat(const std::string& path) override {
    if (path == kPath) memory_.SetFile(path, memory_.File(path).value_or("") + ";");
    return memory_.Stat(path);
  }

 private:
  MemoryFileSystem& memory_;
};

TEST(SettingsFileTest, AnEditThatTheFileKeepsChangingUnderGivesUpAndSaysSo) {
  MemoryFileSystem memory = FilesWith("[s]\r\nk=1");
  RestlessFiles files(memory);
  SettingsStore store(files);
  ASSERT_TRUE(store.Open(kPath));
  EXPECT_EQ(store.WriteEntry("s", "k", "2"), SettingsStore::kFailed);
  EXPECT_TRUE(store.SaveFailed());
  // The other program's bytes are all there; nothing of the edit is.
  const std::string left = memory.File(kPath).value();
  EXPECT_EQ(left.substr(0, 8), "[s]\r\nk=1");
  EXPECT_EQ(left.find_first_not_of(';', 8), std::string::npos) << left;
}

}  // namespace
}  // namespace keelnode
