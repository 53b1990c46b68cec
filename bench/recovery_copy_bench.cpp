// What keeping a tab's recovery copy costs the window's thread, against
// what the copy's write costs the thread that does it.
//
//   keelnode_recovery_bench [MEGABYTES [FOLDER]]   (100 MB in /tmp by default)
//
// For a text of that size (realistic JSON: URLs with query strings, HTML
// fragments, \u escapes, CJK text): the time the window's thread spends
// handing the text over, the time until the copy is on the disk, and the
// time the same write takes when made on the caller's thread instead.
// Best and median of five rounds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/recovery_copies.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

std::string Document(size_t bytes) {
  std::string text = "[";
  for (int k = 0; text.size() < bytes; ++k) {
    text += "{\"url\":\"https://example.com/search?q=" + std::to_string(k) +
            "&lang=zh&page=2\",\"html\":\"<p class=\\\"x\\\">\\u4e2d\\u6587 &amp; more</p>\","
            "\"名称\":\"值" +
            std::to_string(k) + "\"},";
  }
  text += "0]";
  return text;
}

void Report(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%-40s best %9.2f ms   median %9.2f ms\n", what, times.front(),
              times[times.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  const std::string base = argc > 2 ? argv[2] : "/tmp";
  const std::string folder = base + "/keelnode-recovery-bench-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  // The tab's text, shared with whoever keeps it as the tree keeps it.
  const auto text = std::make_shared<const std::string>(Document(megabytes << 20));
  std::printf("text of %zu bytes, copies in %s\n", text->size(), folder.c_str());

  keelnode::FileSystem& files = keelnode::DiskFileSystem();
  keelnode::TabDataFiles data(files, folder);
  std::vector<double> handOver, written, inPlace;
  for (int round = 0; round < 5; ++round) {
    keelnode::RecoveryCopies copies(files, folder);
    Clock::time_point start = Clock::now();
    copies.keep(1, text);  // what the window's thread does once a load ends
    handOver.push_back(Milliseconds(start));
    copies.flush();
    written.push_back(Milliseconds(start));

    start = Clock::now();
    data.write(2, *text);
    inPlace.push_back(Milliseconds(start));
  }
  Report("window's thread: hand-over", handOver);
  Report("copy on the disk (writer's thread)", written);
  Report("same write on the window's thread", inPlace);
  std::filesystem::remove_all(folder);
  return 0;
}
