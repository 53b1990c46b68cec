#include "app/tab_data_files.h"

#include "services/code_page.h"

namespace keelnode {

TabDataFiles::TabDataFiles(FileSystem& files, std::string directory)
    : files_(files), directory_(std::move(directory)) {}

std::string TabDataFiles::fileName(int tabNumber) {
  const std::string number = tabNumber == 1 ? std::string() : std::to_string(tabNumber);
  return "JSON数据" + number + ".txt";
}

std::string TabDataFiles::path(int tabNumber) const {
  return directory_ + "/" + fileName(tabNumber);
}

std::string TabDataFiles::read(int tabNumber) const {
  std::optional<std::string> bytes = files_.ReadFile(path(tabNumber));
  if (!bytes) return {};
  bytes->resize(CutAtZero(*bytes).size());
  return std::move(*bytes);
}

bool TabDataFiles::write(int tabNumber, std::string_view text) const {
  return files_.ReplaceFile(path(tabNumber), text);
}

void TabDataFiles::removeLeftovers() const {
  for (int tab = 1; tab <= kCount; ++tab)
    files_.RemoveLeftovers(path(tab));
}

}  // namespace keelnode
