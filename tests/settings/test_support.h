// Helpers shared by the settings tests.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "services/code_page.h"
#include "services/yield_to_ui.h"

namespace keelnode::testing {

// Program text (GB18030) from a UTF-8 literal, so tests read as the texts.
inline std::string G(std::string_view utf8) {
  return Utf8ToGb18030(utf8);
}

// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "keelnode-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Installs a yield hook for the scope of a test. The hook runs on the next
// yieldToUi() call only, unless it re-arms itself with FireOnNextYield().
class YieldHookScope {
 public:
  explicit YieldHookScope(std::function<void()> hook) {
    SetYieldToUiHook(std::move(hook));
    FireOnNextYield();
  }
  ~YieldHookScope() { SetYieldToUiHook(nullptr); }
  YieldHookScope(const YieldHookScope&) = delete;
  YieldHookScope& operator=(const YieldHookScope&) = delete;

  // yieldToUi() runs the hook on every 1024th call; make the next one it.
  static void FireOnNextYield() { detail::yield_counter = 1023; }
};

}  // namespace keelnode::testing
