// Runs every operation that takes input of the user's size on documents
// shaped to make a careless scan quadratic, at two sizes, and fails when
// the time per megabyte grows too much with the size.
//
//   keelnode_pathological_bench [SMALL_MB LARGE_MB] [--only NAME]
//
// Prints, per shape and operation, milliseconds per megabyte at both sizes
// and their ratio; exits 1 when a ratio exceeds 1.6 (eight times the size
// may cost at most about thirteen times the time). Times of operations that
// take under 20 ms at the large size are too short to judge and never fail:
// there the caches, not the algorithm, make the difference.
// Defaults: 1 MB and 8 MB.
#include <malloc.h>
#include <time.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "json/escape_decoding.h"
#include "json/json_document.h"
#include "json/prepared_text.h"
#include "json/text_preparation.h"
#include "json/tree_item_list.h"
#include "json/value_heads.h"
#include "net/decode_body.h"
#include "net/meta_charset.h"
#include "pathological_shapes.h"
#include "services/code_page.h"
#include "settings/controls/control_state.h"
#include "settings/settings_store.h"

namespace keelnode::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr double kMaxRatio = 1.6;
constexpr double kTooShortToJudge = 0.02;
constexpr size_t kBoxBytes = (256 << 10) + 4;

// Everything the operations read, made once per shape and size.
struct Document {
  std::string text;
  std::string utf8;
  JsonDocument doc;
  std::string items;
  int last = 1;
  std::string lastPath;
  std::string parentPath;
  std::string lastName;
  std::string labelPath;
};

struct Settings {
  std::filesystem::path file;
  QWidget* window = nullptr;
};

struct Operation {
  const char* name;
  std::function<void(Document&)> run;
};

// Something the compiler cannot drop.
size_t sink = 0;

// Processor time of this thread: on a machine shared with builds, a long
// run is interrupted more often than a short one, and wall time would
// make a linear operation look superlinear.
double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Writes over more than the cache of a core complex, so that every run starts
// from memory: else a small document stays cached between runs and a
// large one does not, and a linear operation looks superlinear.
void EvictCaches() {
  static std::vector<char> wipe(40 << 20);
  for (size_t i = 0; i < wipe.size(); i += 64)
    wipe[i] = static_cast<char>(wipe[i] + 1);
}

struct Times {
  double small = 1e9;  // seconds of the fastest run at each size
  double large = 1e9;
};

// Runs at the two sizes alternate, so that both meet the same load from
// the rest of the machine; two rounds, a third when they are quick.
template <typename Small, typename Large>
Times Measure(Small&& small, Large&& large) {
  Times best;
  double total = 0;
  for (int round = 0; round < 3 && (round < 2 || total < 0.1); ++round) {
    for (int size = 0; size < 2; ++size) {
      EvictCaches();
      const double start = ThreadSeconds();
      size ? large() : small();
      const double seconds = ThreadSeconds() - start;
      double& slot = size ? best.large : best.small;
      slot = std::min(slot, seconds);
      total += seconds;
    }
  }
  return best;
}

int Search(const Document& d, std::string_view text, bool backward, bool pattern, bool wildcard) {
  TreeItemList list;
  list.Load(d.items);
  return backward ? list.FindBackward(std::nullopt, text, true, false, pattern, wildcard)
                  : list.FindForward(std::nullopt, text, true, false, pattern, wildcard);
}

std::vector<Operation> DocumentOperations() {
  return {
      {"decode \\u", [](Document& d) { sink += decodeUnicodeEscapes(d.text, false).size(); }},
      {"decode &", [](Document& d) { sink += decodeHtmlEntities(d.text).size(); }},
      {"prepare",
       [](Document& d) {
         std::string out;
         sink += PrepareForSplitting(d.text, out) + out.size();
       }},
      {"mask", [](Document& d) { sink += PreparedText(d.text).separatorCount(); }},
      {"clean name", [](Document& d) { sink += CleanName(d.text).size(); }},
      {"trim", [](Document& d) { sink += TrimValue(d.text).size(); }},
      {"compact", [](Document& d) { sink += CompactWhitespace(d.text).size(); }},
      {"restore quotes", [](Document& d) { sink += RestoreEscapedQuotes(d.text).size(); }},
      {"single quotes", [](Document& d) { sink += ConvertSingleQuotes(d.text).size(); }},
      {"load",
       [](Document& d) {
         JsonDocument doc;
         doc.loadOwned(d.text, false, false);
         sink += doc.store().count();
       }},
      {"labels", [](Document& d) { sink += d.doc.buildTreeItems().GetBytes().size(); }},
      {"pathOfNode", [](Document& d) { sink += d.doc.pathOfNode(d.last).size(); }},
      {"valueAtPath", [](Document& d) { sink += d.doc.valueAtPath(d.lastPath, 0).size(); }},
      {"valueAtRelativePath",
       [](Document& d) {
         d.doc.setBasePath(d.parentPath);
         sink += d.doc.valueAtRelativePath(d.lastName).size();
       }},
      {"FindByPath",
       [](Document& d) {
         TreeItemList list;
         list.Load(d.items);
         sink += list.FindByPath(d.labelPath);
       }},
      {"plain, none, fwd", [](Document& d) { sink += Search(d, "zq~none", false, false, false); }},
      {"plain, none, back", [](Document& d) { sink += Search(d, "zq~none", true, false, false); }},
      {"wildcard, none, fwd", [](Document& d) { sink += Search(d, "zq*~x?y", false, true, true); }},
      {"wildcard, none, back", [](Document& d) { sink += Search(d, "zq*~x?y", true, true, true); }},
      {"regex, none, fwd", [](Document& d) { sink += Search(d, "zq[0-9]+~", false, true, false); }},
      {"regex, none, back", [](Document& d) { sink += Search(d, "zq[0-9]+~", true, true, false); }},
      {"regex, all, back", [](Document& d) { sink += Search(d, "^", true, true, false); }},
      {"selection, root",
       [](Document& d) {
         sink += ValueHeadsOf(d.doc.store().valueView(1), ValueForm::kRoot, kBoxBytes)
                     .decoded.text.size();
       }},
      {"selection, child",
       [](Document& d) {
         sink += ValueHeadsOf(d.doc.store().valueView(2), ValueForm::kMember, kBoxBytes)
                     .decoded.text.size();
       }},
      {"copy commands",
       [](Document& d) {
         const std::string value = WholeValue(d.doc.store().valueView(2), ValueForm::kMember);
         sink += value.size() + DecodeValue(value).size();
       }},
      {"clipboard", [](Document& d) { sink += Utf16ToGb18030(Gb18030ToUtf16(d.text)).size(); }},
      {"decodeBody", [](Document& d) { sink += decodeBody(d.utf8, CharsetMode::Auto).size(); }},
      {"meta charset", [](Document& d) { sink += findMetaCharset(d.text).has_value(); }},
  };
}

void Prepare(Document& d, std::string text) {
  d.text = std::move(text);
  d.utf8 = Gb18030ToUtf8(d.text);
  d.doc.loadOwned(d.text, false, false);
  d.items = d.doc.buildTreeItems().TakeBytes();
  d.last = d.doc.store().count();
  d.lastPath = d.doc.pathOfNode(d.last);
  const int parent = d.doc.store().parent(d.last);
  d.parentPath = parent >= 1 ? d.doc.pathOfNode(parent) : std::string();
  d.lastName = d.doc.store().name(d.last);
  // Name lookups among many children build their index on first use: once
  // per load, not per lookup.
  sink += d.doc.valueAtPath(d.lastPath, 0).size();
  std::vector<std::string> labels;
  std::string label;
  for (int n = d.last; n >= 1; n = d.doc.store().parent(n)) {
    d.doc.treeLabel(n, label);
    labels.push_back(label);
  }
  d.labelPath.clear();
  for (size_t i = labels.size(); i-- > 0;) {
    std::string part;
    for (char c : labels[i])
      part += c == '\\' ? std::string("%5C") : std::string(1, c);
    d.labelPath += part;
    if (i > 0) d.labelPath += '\\';
  }
}

std::vector<Operation> SettingsOperations(Settings& s) {
  const std::string section = Utf8ToGb18030("JSON树");
  const std::string key = Utf8ToGb18030("编辑框查找文本");
  return {
      {"open",
       [&s](Document&) {
         SettingsStore store;
         sink += store.Open(s.file.string());
       }},
      {"read",
       [&s, section, key](Document&) {
         SettingsStore store;
         if (!store.Open(s.file.string())) return;
         sink += store.ReadEntry(section, key).size();
       }},
      {"write",
       [&s, section, key](Document&) {
         SettingsStore store;
         if (!store.Open(s.file.string())) return;
         sink += store.WriteEntry(section, key, "needle", true);
       }},
      {"restore controls",
       [&s, section](Document&) {
         SettingsStore store;
         if (!store.Open(s.file.string())) return;
         PersistOptions options;
         options.section = section;
         PersistWindowControls(store, *s.window, true, options);
       }},
  };
}

struct Row {
  std::string shape;
  std::string operation;
  double small = 0;  // seconds
  double large = 0;
};

bool Judge(const Row& row, double smallMb, double largeMb) {
  const double perSmall = row.small / smallMb;
  const double perLarge = row.large / largeMb;
  const bool judged = row.large >= kTooShortToJudge;
  const double ratio = perSmall > 0 ? perLarge / perSmall : 0;
  const bool failed = judged && ratio > kMaxRatio;
  std::printf("%-16s %-22s %10.3f %10.3f %7.2f%s\n", row.shape.c_str(), row.operation.c_str(),
              perSmall * 1000, perLarge * 1000, ratio,
              failed ? "  FAIL" : (judged ? "" : "  (too short to judge)"));
  std::fflush(stdout);
  return !failed;
}

QWidget* MakeWindow() {
  auto* window = new QWidget;
  auto* text = new QLineEdit(window);
  text->setObjectName(QStringLiteral("编辑框查找文本"));
  auto* box = new QCheckBox(window);
  box->setObjectName(QStringLiteral("选择框忽略大小写"));
  auto* radio = new QRadioButton(window);
  radio->setObjectName(QStringLiteral("单选框默认"));
  auto* notes = new QPlainTextEdit(window);
  notes->setObjectName(QStringLiteral("编辑框备注"));
  return window;
}

}  // namespace
}  // namespace keelnode::bench

int main(int argc, char** argv) {
  using namespace keelnode::bench;
  double smallMb = 1;
  double largeMb = 8;
  std::string only;
  std::vector<std::string> numbers;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else {
      numbers.emplace_back(argv[i]);
    }
  }
  if (numbers.size() == 2) {
    smallMb = std::atof(numbers[0].c_str());
    largeMb = std::atof(numbers[1].c_str());
  } else if (!numbers.empty() || smallMb <= 0) {
    std::fputs("usage: keelnode_pathological_bench [SMALL_MB LARGE_MB] [--only NAME]\n", stderr);
    return 64;
  }
  // Large blocks from the heap and kept there, as small ones are: else only
  // the large size pays the kernel for fresh pages at every run.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, -1);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const auto started = Clock::now();
  std::printf("%-16s %-22s %10s %10s %7s\n", "shape", "operation",
              (std::to_string(static_cast<int>(smallMb)) + " MB ms/MB").c_str(),
              (std::to_string(static_cast<int>(largeMb)) + " MB ms/MB").c_str(), "ratio");
  bool passed = true;
  const size_t sizes[2] = {static_cast<size_t>(smallMb * 1048576),
                           static_cast<size_t>(largeMb * 1048576)};

  const std::vector<Operation> operations = DocumentOperations();
  for (const Shape& shape : PathologicalShapes()) {
    if (!only.empty() && only != shape.name) continue;
    Document small;
    Document large;
    Prepare(small, shape.make(sizes[0]));
    Prepare(large, shape.make(sizes[1]));
    for (const Operation& operation : operations) {
      const Times times = Measure([&] { operation.run(small); }, [&] { operation.run(large); });
      passed =
          Judge({shape.name, operation.name, times.small, times.large}, smallMb, largeMb) && passed;
    }
  }

  Settings settings;
  std::unique_ptr<QWidget> window(MakeWindow());
  settings.window = window.get();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("keelnode-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  settings.file = folder / "settings.ini";
  const std::vector<Operation> settingsOperations = SettingsOperations(settings);
  for (const IniShape& shape : PathologicalIniShapes()) {
    if (!only.empty() && only != shape.name) continue;
    const std::string images[2] = {shape.make(sizes[0]), shape.make(sizes[1])};
    Document none;
    for (const Operation& operation : settingsOperations) {
      auto at = [&](int size) {
        return [&, size] {
          std::ofstream(settings.file, std::ios::binary | std::ios::trunc) << images[size];
          operation.run(none);
        };
      };
      const Times times = Measure(at(0), at(1));
      passed =
          Judge({shape.name, operation.name, times.small, times.large}, smallMb, largeMb) && passed;
    }
  }
  std::filesystem::remove_all(folder);

  std::printf("%s in %.0f s (checksum %zu)\n", passed ? "passed" : "FAILED",
              std::chrono::duration<double>(Clock::now() - started).count(), sink % 10);
  return passed ? 0 : 1;
}
