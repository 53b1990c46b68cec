// The settings store on real files in a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "services/unique_fd.h"
#include "settings/settings_store.h"
#include "settings/undo_journal.h"
#include "test_support.h"

namespace keelnode {
namespace {

using testing::G;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Spit(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_ino;
}

mode_t Mode(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// Runs a shell command line: a second process writing the files.
void Shell(const std::string& command) {
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// A process number nobody has: that of a child that has ended.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// While it lives, file permissions bind this thread as they bind an
// ordinary user, also when the tests run as root.
class OrdinaryUser {
 public:
  OrdinaryUser() {
    if (::geteuid() != 0) return;
    ::setfsgid(65534);
    ::setfsuid(65534);
    active_ = true;
  }
  ~OrdinaryUser() {
    if (!active_) return;
    ::setfsuid(0);
    ::setfsgid(0);
  }
  OrdinaryUser(const OrdinaryUser&) = delete;
  OrdinaryUser& operator=(const OrdinaryUser&) = delete;

 private:
  bool active_ = false;
};

class DiskSettingsTest : public ::testing::Test {
 protected:
  std::string Path(std::string_view name) const { return dir_.path() + "/" + std::string(name); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempDir dir_;
};

TEST_F(DiskSettingsTest, CreatesTheFileAndWritesExactBytes) {
  const std::string path = Path("岚溪·DUVOvidu.ini");
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_TRUE(std::filesystem::exists(path));
  store.SetSection(G("JSON树"));
  EXPECT_TRUE(store.WriteNumber(G("选择夹"), 2));
  EXPECT_TRUE(store.WriteText(G("编辑框查找文本"), "name"));
  EXPECT_EQ(Slurp(path), G("[JSON树]\r\n编辑框查找文本=name\r\n选择夹=2"));
  EXPECT_TRUE(store.WriteText(G("编辑框查找文本"), "n"));
  EXPECT_EQ(Slurp(path), G("[JSON树]\r\n编辑框查找文本=n\r\n选择夹=2"));
  // No journal or temporary file is left beside it.
  EXPECT_EQ(Names(), std::vector<std::string>{"岚溪·DUVOvidu.ini"});
}

TEST_F(DiskSettingsTest, ExistingContentIsKeptAndEditedInPlace) {
  const std::string path = Path("s.ini");
  Spit(path, "; mine\r\n[s]\r\nk=1\r\n[other]\r\nx=y");
  struct stat before;
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_EQ(store.ReadEntry("s", "k"), "1");
  EXPECT_EQ(store.WriteEntry("s", "k", "12345"), SettingsStore::kDone);
  EXPECT_EQ(Slurp(path), "; mine\r\n[s]\r\nk=12345\r\n[other]\r\nx=y");
  EXPECT_EQ(store.WriteEntry("s", "k", ""), SettingsStore::kDone);
  EXPECT_EQ(Slurp(path), "; mine\r\n[s]\r\nk=\r\n[other]\r\nx=y");
  struct stat after;
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // the same file, not a replacement
}

TEST_F(DiskSettingsTest, SecondStoreReadsWritesNothingAndTheFileStaysTheFirsts) {
  const std::string path = Path("s.ini");
  SettingsStore first;
  ASSERT_TRUE(first.Open(path));
  first.SetSection("s");
  ASSERT_TRUE(first.WriteText("k", "first"));

  SettingsStore second;
  EXPECT_FALSE(second.Open(path));
  second.SetSection("s");
  EXPECT_EQ(second.ReadText("k"), "first");
  EXPECT_FALSE(second.WriteText("k", "second"));
  EXPECT_FALSE(second.WriteText("new", "x"));
  EXPECT_EQ(Slurp(path), "[s]\r\nk=first");

  ASSERT_TRUE(first.WriteText("j", "1"));
  EXPECT_EQ(Slurp(path), "[s]\r\nj=1\r\nk=first");
  first.Close();
  SettingsStore third;
  EXPECT_TRUE(third.Open(path));
}

TEST_F(DiskSettingsTest, SideFilesAreCreatedInTheInibinFolder) {
  SettingsStore store;
  ASSERT_TRUE(store.Open(Path("s.ini")));
  store.SetSection(G("节"));
  EXPECT_TRUE(store.WriteBytes(G("键"), std::string("a\0b", 3)));
  EXPECT_EQ(Slurp(Path("inibin/节-键.ibn")), std::string("a\0b", 3));
  EXPECT_EQ(store.ReadBytes(G("键")), std::string("a\0b", 3));
  EXPECT_TRUE(store.WriteBytes(G("键"), "c"));
  EXPECT_EQ(store.ReadBytes(G("键")), "c");
  EXPECT_EQ(Slurp(Path("s.ini")), "");
}

TEST_F(DiskSettingsTest, SpecialFilesUnderTheSettingsNameAreNotUsed) {
  const std::string fifo = Path("fifo.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  SettingsStore store;
  EXPECT_FALSE(store.Open(fifo));  // returns at once instead of blocking
  EXPECT_EQ(store.ReadEntry("s", "k", "d"), "d");
  std::filesystem::create_directory(Path("dir.ini"));
  EXPECT_FALSE(store.Open(Path("dir.ini")));
  EXPECT_EQ(store.WriteEntry("s", "k", "1"), SettingsStore::kFailed);
}

TEST_F(DiskSettingsTest, ReadOnlyFileGivesAReadOnlyStore) {
  const std::string path = Path("s.ini");
  Spit(path, "[s]\r\nk=1");
  ::chmod(path.c_str(), 0444);
  ::chmod(dir_.path().c_str(), 0755);
  OrdinaryUser user;
  SettingsStore store;
  EXPECT_FALSE(store.Open(path));
  EXPECT_EQ(store.ReadEntry("s", "k"), "1");
  EXPECT_EQ(store.WriteEntry("s", "k", "2"), SettingsStore::kFailed);
  EXPECT_EQ(Slurp(path), "[s]\r\nk=1");
}

TEST_F(DiskSettingsTest, JournalLeftByACrashIsRestoredOnOpen) {
  const std::string path = Path("s.ini");
  Spit(path, "[s]\r\nk=9999");  // an edit of k=1 that stopped half way
  Spit(UndoJournalPath(path), EncodeUndoRecord({7, 8, "1"}));
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_EQ(Slurp(path), "[s]\r\nk=1");
  EXPECT_FALSE(std::filesystem::exists(UndoJournalPath(path)));
  EXPECT_EQ(store.ReadEntry("s", "k"), "1");
}

TEST_F(DiskSettingsTest, AnotherProgramsWritesInPlaceAreEditedOnNotOverwritten) {
  const std::string path = Path("岚溪·DUVOvidu.ini");
  Spit(path, G("[JSON树]\r\n选择夹=1"));
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  store.SetSection(G("JSON树"));
  ASSERT_TRUE(store.WriteNumber(G("选择夹"), 2));

  // A script rewrites the file in place while the store holds it.
  const ino_t held = Inode(path);
  Shell("printf '[Other]\\r\\nx=1\\r\\n[JSON\\312\\367]\\r\\nkept=3' > '" + path + "'");
  ASSERT_EQ(Inode(path), held);
  EXPECT_EQ(store.ReadText("kept"), "3");
  EXPECT_TRUE(store.WriteNumber(G("选择夹"), 4));
  EXPECT_EQ(Slurp(path), G("[Other]\r\nx=1\r\n[JSON树]\r\n选择夹=4\r\nkept=3"));

  // At once after the store's own write, with the same size: the time
  // stamps may not tell, the bytes do.
  std::string same = Slurp(path);
  same.replace(same.find("kept=3"), 6, "kept=5");
  const UniqueFd fd(::open(path.c_str(), O_WRONLY));
  ASSERT_EQ(::pwrite(fd.get(), same.data(), same.size(), 0), static_cast<ssize_t>(same.size()));
  EXPECT_TRUE(store.WriteText("new", "n"));
  EXPECT_EQ(Slurp(path), G("[Other]\r\nx=1\r\n[JSON树]\r\nnew=n\r\n选择夹=4\r\nkept=5"));
  EXPECT_EQ(store.GetImageText(), Slurp(path));
  EXPECT_FALSE(store.SaveFailed());
}

TEST_F(DiskSettingsTest, AFileReplacedByRenameIsTakenUpAndLocked) {
  const std::string path = Path("s.ini");
  Spit(path, "[s]\r\nk=1");
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  ASSERT_EQ(store.WriteEntry("s", "k", "2"), SettingsStore::kDone);

  // An editor saves as most do: a new file renamed over the old one.
  Shell("cd '" + dir_.path() +
        "' && printf '[s]\\r\\nk=edited\\r\\n[t]\\r\\nz=9' > s.new && mv s.new s.ini");
  EXPECT_EQ(store.WriteEntry("s", "j", "3"), SettingsStore::kDone);
  EXPECT_EQ(Slurp(path), "[s]\r\nj=3\r\nk=edited\r\n[t]\r\nz=9");
  // The new file is the one held now: nobody else gets to write it.
  SettingsStore second;
  EXPECT_FALSE(second.Open(path));

  // A file removed under the store is made again.
  std::filesystem::remove(path);
  EXPECT_EQ(store.WriteEntry("s", "k", "4"), SettingsStore::kDone);
  EXPECT_EQ(Slurp(path), "[s]\r\nk=4");
  EXPECT_FALSE(store.SaveFailed());
  EXPECT_EQ(Names(), std::vector<std::string>{"s.ini"});
}

TEST_F(DiskSettingsTest, AWritableFileInAFolderThatTakesNoNewFilesIsStillSaved) {
  // The folder and the spare folder's parent are an ordinary user's to see.
  ::chmod(dir_.path().c_str(), 0777);
  const std::string folder = Path("read-only");
  const std::string spare = Path("state/keelnode");
  std::filesystem::create_directory(folder);
  const std::string path = folder + "/s.ini";
  Spit(path, "[s]\r\nk=1");
  ::chmod(path.c_str(), 0666);
  ::chmod(folder.c_str(), 0555);

  OrdinaryUser user;
  for (const std::string& spareFolder : {spare, std::string()}) {
    SCOPED_TRACE(spareFolder);
    SettingsStore store;
    store.SetSpareJournalFolder(spareFolder);
    ASSERT_TRUE(store.Open(path));
    EXPECT_EQ(store.WriteEntry("s", "k", "2" + spareFolder), SettingsStore::kDone);
    EXPECT_EQ(store.WriteEntry("t", "j", "3"), SettingsStore::kDone);
    EXPECT_EQ(Slurp(path), "[s]\r\nk=2" + spareFolder + "\r\n[t]\r\nj=3");
    EXPECT_FALSE(store.SaveFailed());
    ::truncate(path.c_str(), 0);
  }
  // The journal came and went in the spare folder, which was made for it.
  EXPECT_TRUE(std::filesystem::is_directory(spare));
  EXPECT_TRUE(std::filesystem::is_empty(spare));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(DiskSettingsTest, AJournalInTheSpareFolderIsRestoredOnOpen) {
  const std::string path = Path("s.ini");
  const std::string spare = Path("spare");
  std::filesystem::create_directory(spare);
  Spit(path, "[s]\r\nk=9999");  // an edit of k=1 that stopped half way
  Spit(SpareUndoJournalPath(spare, path), EncodeUndoRecord({7, 8, "1"}));
  SettingsStore store;
  store.SetSpareJournalFolder(spare);
  ASSERT_TRUE(store.Open(path));
  EXPECT_EQ(Slurp(path), "[s]\r\nk=1");
  EXPECT_TRUE(std::filesystem::is_empty(spare));
}

TEST_F(DiskSettingsTest, OpeningRemovesOnlyTheTemporariesOfWritersThatEnded) {
  const std::string path = Path("s.ini");
  Spit(path, "[s]\r\nk=1");
  const std::string ended = std::to_string(EndedProcess());
  const std::string running = std::to_string(::getppid());
  // What a kill in the middle of writing the journal left: an intact
  // record of an edit that never began.
  Spit(UndoJournalPath(path) + "." + ended + ".7.tmp", EncodeUndoRecord({7, 8, "0"}));
  Spit(path + "." + ended + ".2.tmp", "[s]\r\nk=old");
  Spit(UndoJournalPath(path) + "." + running + ".1.tmp", "in progress");
  Spit(Path("other.ini." + ended + ".1.tmp"), "not ours");
  Spit(UndoJournalPath(path) + ".x.1.tmp", "not ours either");
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_EQ(store.ReadEntry("s", "k"), "1");
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"other.ini." + ended + ".1.tmp", "s.ini",
                                      "s.ini.undo." + running + ".1.tmp", "s.ini.undo.x.1.tmp"}));
  // A reader that does not hold the file leaves everything as it is.
  Spit(path + "." + ended + ".3.tmp", "left");
  SettingsStore reader;
  EXPECT_FALSE(reader.Open(path));
  EXPECT_TRUE(std::filesystem::exists(path + "." + ended + ".3.tmp"));
}

TEST(DiskFileSystemTest, ReplacingWritesThroughLinksAndKeepsTheMode) {
  testing::TempDir dir;
  FileSystem& files = DiskFileSystem();
  const std::string target = dir.path() + "/target.txt";
  Spit(target, "old");
  ::chmod(target.c_str(), 0600);
  std::filesystem::create_directory(dir.path() + "/links");
  std::filesystem::create_symlink("../target.txt", dir.path() + "/links/relative.txt");
  std::filesystem::create_symlink(target, dir.path() + "/absolute.txt");
  std::filesystem::create_symlink(dir.path() + "/absolute.txt", dir.path() + "/chain.txt");
  for (const char* link : {"/links/relative.txt", "/absolute.txt", "/chain.txt"}) {
    SCOPED_TRACE(link);
    const std::string content = std::string("new through ") + link;
    ASSERT_TRUE(files.ReplaceFile(dir.path() + link, content));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + link));
    EXPECT_EQ(Slurp(target), content);
    EXPECT_EQ(Mode(target), 0600u);
  }
  ::chmod(target.c_str(), 0640);
  ASSERT_TRUE(files.ReplaceFile(target, "plain"));
  EXPECT_EQ(Mode(target), 0640u);
  // A dangling link gets its target.
  std::filesystem::create_symlink("made.txt", dir.path() + "/dangling.txt");
  ASSERT_TRUE(files.ReplaceFile(dir.path() + "/dangling.txt", "made"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() + "/dangling.txt"));
  EXPECT_EQ(Slurp(dir.path() + "/made.txt"), "made");
  // The temporaries went beside the target and are gone.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST(DiskFileSystemTest, StampsTellFilesAndChangesApart) {
  testing::TempDir dir;
  FileSystem& files = DiskFileSystem();
  const std::string path = dir.path() + "/f";
  EXPECT_FALSE(files.Stat(path));
  Spit(path, "one");
  const std::optional<FileStamp> first = files.Stat(path);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->size, 3u);
  EXPECT_FALSE(first->settled);  // just written
  Spit(path, "three");
  const std::optional<FileStamp> grown = files.Stat(path);
  EXPECT_TRUE(SameFile(*first, *grown));
  EXPECT_FALSE(SameState(*first, *grown));
  ASSERT_TRUE(files.ReplaceFile(path, "three"));
  EXPECT_FALSE(SameFile(*grown, *files.Stat(path)));
  // Old enough that a later change would show in the stamp.
  const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), old, 0);
  OpenedFile held = files.OpenForEditing(path);
  ASSERT_EQ(held.result, OpenResult::kOpened);
  EXPECT_EQ(held.file->Stamp()->modified_ns, 1000000000LL * 1000000000LL);
  EXPECT_EQ(held.file->ReadAll(), "three");
}

}  // namespace
}  // namespace keelnode
