// Shared pieces of the window-program tests: a fresh data directory and a
// guard against message boxes nobody expects.
#pragma once

#include <QTemporaryDir>
#include <QTimer>
#include <optional>
#include <string>
#include <string_view>

namespace keelnode::testing {

// A temporary run directory; names are relative to it, in UTF-8.
class DataDir {
 public:
  DataDir();
  const std::string& path() const { return path_; }
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

  void put(std::string_view name, std::string_view bytes) const;
  std::optional<std::string> get(std::string_view name) const;
  // The settings file's bytes (empty when it does not exist).
  std::string ini() const { return get("岚溪·DUVOvidu.ini").value_or(""); }

 private:
  QTemporaryDir dir_;
  std::string path_;
};

// The data file name of a tab.
std::string DataFileName(int tabNumber);

// The settings file (program text) a first close leaves when nothing was
// changed: the keys in the order new keys take, each at the section's top.
std::string FirstCloseIni();

// While it lives, closes every modal window that appears and counts it.
class ModalGuard {
 public:
  ModalGuard();
  int closed() const { return closed_; }

 private:
  QTimer timer_;
  int closed_ = 0;
};

}  // namespace keelnode::testing
