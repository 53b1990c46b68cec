#include "app/recovery_copies.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace keelnode {

RecoveryCopies::RecoveryCopies(FileSystem& files, std::string dataDir)
    : files_(files),
      folder_(std::move(dataDir) + "/恢复"),
      writer_(files, [this](const std::string& path) {
        // Once: a folder that takes no copy takes none of the next ones.
        if (!failureTold_.exchange(true)) {
          std::fprintf(stderr, "keelnode: cannot keep a recovery copy in %s\n", path.c_str());
        }
      }) {}

std::string RecoveryCopies::path(int tabNumber) const {
  return folder_ + "/" + TabDataFiles::fileName(tabNumber);
}

std::vector<RecoveryCopies::Recovered> RecoveryCopies::findNewer(
    const TabDataFiles& dataFiles) const {
  std::vector<Recovered> found;
  for (int tab = 1; tab <= TabDataFiles::kCount; ++tab) {
    const std::optional<FileStamp> copy = files_.Stat(path(tab));
    if (!copy) continue;
    const std::optional<FileStamp> data = files_.Stat(dataFiles.path(tab));
    if (data && data->modified_ns > copy->modified_ns) continue;
    std::optional<std::string> text = files_.ReadFile(path(tab));
    if (!text || *text == dataFiles.read(tab)) continue;
    found.push_back({tab, std::move(*text)});
  }
  return found;
}

void RecoveryCopies::removeLeftovers() {
  for (int tab = 1; tab <= TabDataFiles::kCount; ++tab)
    files_.RemoveLeftovers(path(tab));
}

bool RecoveryCopies::makeFolder() {
  if (!folderMade_) folderMade_ = files_.MakeDirectory(folder_);
  return folderMade_;
}

void RecoveryCopies::keep(int tabNumber, std::shared_ptr<const std::string> text) {
  makeFolder();
  writer_.write(path(tabNumber), std::move(text));
}

void RecoveryCopies::drop(int tabNumber) {
  writer_.remove(path(tabNumber));
}

bool RecoveryCopies::keepNow(int tabNumber, std::string_view text) {
  return makeFolder() && files_.ReplaceFile(path(tabNumber), text);
}

void RecoveryCopies::removeAllBut(const std::vector<int>& kept) {
  for (int tab = 1; tab <= TabDataFiles::kCount; ++tab) {
    if (std::find(kept.begin(), kept.end(), tab) == kept.end()) files_.RemoveFile(path(tab));
  }
  // Removes only an empty folder.
  std::error_code ignored;
  std::filesystem::remove(folder_, ignored);
}

}  // namespace keelnode
