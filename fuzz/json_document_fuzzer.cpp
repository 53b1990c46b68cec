// Loads arbitrary bytes as a document with every option, builds the tree
// items and reads back every node's value by its path; small inputs are also
// compared with the plain reference splitter of the tests.
#include <cstddef>
#include <cstdint>
#include <string>

#include "json/json_document.h"
#include "reference_splitter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool zero_based = data[0] & 1;
  const bool single_quote = data[0] & 2;
  // Texts never hold a zero byte.
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  text = text.substr(0, text.find('\0'));

  keelnode::JsonDocument doc;
  std::string loaded = text;
  doc.load(loaded, zero_based, single_quote);
  doc.buildTreeItems();
  const keelnode::NodeStore& store = doc.store();
  for (int n = 2; n <= store.count() && n < 2000; ++n) {
    const std::string path = doc.pathOfNode(n);
    const std::string value = doc.valueAtPath(path, 0);
    if (store.kind(n) == keelnode::kScalar && doc.nodeAtPath(path, 0) == n &&
        value != doc.displayValue(store.valueView(n)))
      __builtin_trap();
  }
  if (text.size() <= 512) {
    const auto expected = keelnode::reference::LoadDocument(text, zero_based, single_quote);
    if (static_cast<int>(expected.size()) != store.count()) __builtin_trap();
    for (int n = 1; n <= store.count(); ++n) {
      const auto& e = expected[n - 1];
      if (e.name != store.nameView(n) || e.value != store.valueView(n) || e.kind != store.kind(n) ||
          e.level != store.level(n))
        __builtin_trap();
    }
  }
  return 0;
}
