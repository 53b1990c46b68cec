// Times the core on whole documents, phase by phase.
//
//   keelnode_bench FILE...
//
// For each file: decoding the input bytes, loading the node store, building
// the tree item block, listing the items a --search finds (plain text and a
// pattern, as the window's search matches them), and writing the whole
// --paths output to /dev/null, pretty-printing and minifying the whole text
// as the value viewer does; with nodes per second for each phase and the
// process's peak memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/document_printer.h"
#include "app/input_text.h"
#include "json/json_document.h"
#include "json/pretty_printer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

long PeakMegabytes() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

void Report(const char* phase, double seconds, int nodes, double megabytes) {
  std::printf("  %-12s %8.3f s  %7.2f M nodes/s  %8.1f MB/s\n", phase, seconds,
              nodes / seconds / 1e6, megabytes / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: keelnode_bench FILE...\n", stderr);
    return 64;
  }
  for (int i = 1; i < argc; ++i) {
    std::string bytes, error;
    if (!keelnode::ReadWholeFile(argv[i], bytes, &error)) {
      std::fprintf(stderr, "keelnode_bench: %s: %s\n", argv[i], error.c_str());
      return 2;
    }
    const double megabytes = bytes.size() / 1048576.0;
    auto start = Clock::now();
    std::string text = keelnode::InputBytesToText(bytes);
    const double decode = Seconds(start);
    bytes.clear();
    bytes.shrink_to_fit();

    keelnode::JsonDocument doc;
    start = Clock::now();
    doc.load(text, false, false);
    const double load = Seconds(start);
    const int nodes = doc.store().count();

    start = Clock::now();
    keelnode::TreeItemList items = doc.buildTreeItems();
    const double build = Seconds(start);
    const size_t block = items.GetBytes().size();

    start = Clock::now();
    const size_t plainHits = items.ListMatching("name", false, false, false, false).size();
    const double plain = Seconds(start);
    start = Clock::now();
    const size_t patternHits = items.ListMatching("^id:\\d+$", true, false, true, false).size();
    const double pattern = Seconds(start);
    items.Clear();

    std::ofstream null("/dev/null", std::ios::binary);
    start = Clock::now();
    keelnode::PrintPathLines(doc, {}, null);
    const double paths = Seconds(start);

    start = Clock::now();
    const keelnode::PrettyText pretty = keelnode::prettyPrint(text);
    const double prettyTime = Seconds(start);
    start = Clock::now();
    const size_t minified = keelnode::minify(pretty.text).size();
    const double minifyTime = Seconds(start);

    std::printf("%s: %.1f MB, %d nodes, store %.0f MB, item block %.0f MB\n", argv[i], megabytes,
                nodes, doc.store().memoryBytes() / 1048576.0, block / 1048576.0);
    Report("decode", decode, nodes, megabytes);
    Report("load", load, nodes, megabytes);
    Report("tree items", build, nodes, megabytes);
    Report("search", plain, nodes, megabytes);
    Report("search re", pattern, nodes, megabytes);
    std::printf("  search hits: %zu plain, %zu pattern\n", plainHits, patternHits);
    Report("paths", paths, nodes, megabytes);
    Report("pretty", prettyTime, nodes, megabytes);
    Report("minify", minifyTime, nodes, megabytes);
    std::printf("  pretty: %.1f MB in %zu lines, minified %.1f MB\n",
                pretty.text.size() / 1048576.0, pretty.lineStarts.size(), minified / 1048576.0);
    std::printf("  peak memory so far: %ld MB\n", PeakMegabytes());
  }
  return 0;
}
