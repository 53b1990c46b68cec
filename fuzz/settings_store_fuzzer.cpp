// Fuzzes the settings store on the in-memory file system: an arbitrary
// starting file, then a sequence of edits, optionally with an operation
// that fails or crashes part way. Checked throughout: the file mirrors the
// image while nothing has failed; a write that reports success reads back;
// entries written with plain names keep their values whatever else is
// written; and after a crash the next open finds a state the store
// committed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "services/code_page.h"
#include "settings/memory_file_system.h"
#include "settings/settings_store.h"
#include "settings/undo_journal.h"
#include "settings/value_codec.h"

namespace {

using keelnode::SettingsStore;

constexpr char kPath[] = "/d/s.ini";

void Check(bool condition) {
  if (!condition) std::abort();
}

// Names and values of the checked mode: nothing that can change the
// meaning of another entry (no "=", brackets, line breaks or zero bytes).
std::string PlainText(FuzzedDataProvider& input, size_t most) {
  static constexpr char kAlphabet[] = "abcAB01 .\xB0\xA1";
  std::string text;
  for (size_t n = input.ConsumeIntegralInRange<size_t>(0, most); n > 0; --n) {
    text.push_back(kAlphabet[input.ConsumeIntegralInRange<size_t>(0, sizeof kAlphabet - 2)]);
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const bool plain = input.ConsumeBool();
  keelnode::MemoryFileSystem files;
  files.AddDirectory("/d");
  // In a file the store did not write, a line such as "[s]x" is a header
  // for the section search but not for the boundary test, so one section
  // may reach into the next: the checked mode starts from an empty file.
  files.SetFile(kPath, plain ? std::string() : input.ConsumeRandomLengthString(2048));

  std::set<std::string> committed{*files.File(kPath)};
  files.SetObserver([&] {
    if (!files.File(keelnode::UndoJournalPath(kPath))) committed.insert(*files.File(kPath));
  });
  const int fail_at = input.ConsumeIntegralInRange<int>(-1, 40);
  const bool crash = input.ConsumeBool();
  bool failed = false;

  SettingsStore store(files);
  Check(store.Open(kPath));
  if (fail_at >= 0) files.FailAt(fail_at, crash);
  std::map<std::pair<std::string, std::string>, std::string> model;

  for (int steps = 0; steps < 64 && input.remaining_bytes() > 0; ++steps) {
    const int op = input.ConsumeIntegralInRange<int>(0, 5);
    std::string section = plain ? PlainText(input, 6) : input.ConsumeRandomLengthString(12);
    std::string key = plain ? PlainText(input, 6) : input.ConsumeRandomLengthString(12);
    std::string value = plain ? PlainText(input, 12) : input.ConsumeRandomLengthString(24);
    switch (op) {
      case 0:
      case 1:
        if (store.WriteEntry(section, key, value) == SettingsStore::kDone) {
          Check(store.LookUp(section, key) == std::string(keelnode::CutAtZero(value)));
        }
        if (plain) model[{section, key}] = value;
        break;
      case 2: {
        store.SetSection(section);
        const std::string stored = keelnode::EncodeText(value);
        if (store.WriteText(key, value)) {
          Check(store.ReadText(key) == keelnode::DecodeText(keelnode::CutAtZero(stored)));
        }
        if (plain) model[{section, key}] = stored;
        break;
      }
      case 3:
        if (!plain) store.DeleteEntry(section, key);
        break;
      case 4:
        if (!plain) store.RenameEntry(section, key, value);
        break;
      case 5:
        store.ReadEntry(section, key, value, input.ConsumeBool());
        store.FindSectionHeaderBetween(input.ConsumeIntegral<int16_t>(),
                                       input.ConsumeIntegral<int16_t>());
        break;
    }
    // The failing operation has happened once the count passes it.
    if (fail_at >= 0 && files.mutation_count() > fail_at) failed = true;
    if (!failed) Check(files.File(kPath) == store.GetImageText());
    for (const auto& [entry, expected] : model) {
      Check(store.LookUp(entry.first, entry.second) == expected);
    }
  }

  if (fail_at >= 0) {
    store.Close();
    files.Revive();
    SettingsStore next(files);
    Check(next.Open(kPath));
    Check(committed.count(next.GetImageText()) == 1);
    Check(files.File(kPath) == next.GetImageText());
  }
  return 0;
}
