// Writes deterministic JSON documents for the benchmarks to standard output.
//
//   keelnode_gen records|wide|deep|chain|pretty SIZE_MB
//
// records: an object whose "data" array holds records of ids, names,
//          numbers, booleans, nulls, a small nested object and array,
//          strings with CJK text, \uXXXX escapes, \" and URLs.
// wide:    one object with very many keys.
// deep:    an array of records nested about 50 levels deep, repeated: each
//          level holds a few fields and the next level, alternating
//          objects and arrays.
// chain:   the bare worst case of nesting: single-member objects and
//          single-item arrays about 50 levels deep, repeated.
// pretty:  the records document indented over many lines.
// The same arguments always give the same bytes (UTF-8).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

 private:
  uint64_t state_;
};

const char* const kCjkWords[] = {"岚溪", "数据", "节点", "路径", "中文", "测试", "用户", "城市"};
const char* const kWords[] = {"alpha", "beta", "gamma", "delta", "json", "tree", "node", "path"};
const char* const kEscapes[] = {"\\u4e2d\\u6587", "\\u0041\\u00e9", "\\ud83d\\ude00", "\\u002f"};

void AppendRecord(std::string& out, int id, Random& random, const char* indent) {
  const std::string nl = indent[0] ? std::string("\n") + indent : "";
  const std::string nl2 = indent[0] ? nl + "  " : "";
  const std::string sep = indent[0] ? ": " : ":";
  char number[64];
  out += "{" + nl2 + "\"id\"" + sep + std::to_string(id);
  out += "," + nl2 + "\"name\"" + sep + "\"" + kCjkWords[random.Below(8)] +
         kWords[random.Below(8)] + std::to_string(id) + "\"";
  std::snprintf(number, sizeof number, "%d.%02d", random.Below(100000), random.Below(100));
  out += "," + nl2 + "\"score\"" + sep + number;
  out += "," + nl2 + "\"active\"" + sep + (random.Below(2) ? "true" : "false");
  out += "," + nl2 + "\"note\"" + sep + "null";
  out += "," + nl2 + "\"tags\"" + sep + "[\"" + kWords[random.Below(8)] + "\",\"" +
         kCjkWords[random.Below(8)] + "\"," + std::to_string(random.Below(1000)) + "]";
  std::snprintf(number, sizeof number, "{\"lat\":%d.%04d,\"lng\":-%d.%04d}", random.Below(90),
                random.Below(10000), random.Below(180), random.Below(10000));
  out += "," + nl2 + "\"geo\"" + sep + number;
  out += "," + nl2 + "\"bio\"" + sep + "\"" + kEscapes[random.Below(4)] + " said \\\"" +
         kWords[random.Below(8)] + "\\\" in " + kCjkWords[random.Below(8)] + "\"";
  out += "," + nl2 + "\"url\"" + sep + "\"https://example.com/users/" + std::to_string(id) +
         "?tab=" + kWords[random.Below(8)] + "\"";
  out += nl + "}";
}

void Records(size_t target, bool pretty) {
  Random random(42);
  std::string out = pretty ? "{\n  \"data\": [\n    " : "{\"data\":[";
  int id = 0;
  std::string chunk;
  while (true) {
    chunk.clear();
    if (id > 0) chunk += pretty ? ",\n    " : ",";
    AppendRecord(chunk, id, random, pretty ? "    " : "");
    out += chunk;
    ++id;
    if (out.size() >= (1 << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      target = target > out.size() ? target - out.size() : 0;
      out.clear();
    }
    if (out.size() + 200 >= target) break;
  }
  out += pretty ? "\n  ],\n  \"total\": " + std::to_string(id) + "\n}\n"
                : "],\"total\":" + std::to_string(id) + "}";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void Wide(size_t target) {
  Random random(7);
  std::string out = "{";
  size_t written = 0;
  for (int key = 0;; ++key) {
    if (key > 0) out += ",";
    out += "\"key" + std::to_string(key) + "\":";
    switch (random.Below(4)) {
      case 0:
        out += std::to_string(random.Below(1000000));
        break;
      case 1:
        out += std::string("\"") + kWords[random.Below(8)] + kCjkWords[random.Below(8)] + "\"";
        break;
      case 2:
        out += random.Below(2) ? "true" : "null";
        break;
      default:
        out +=
            "[" + std::to_string(random.Below(10)) + "," + std::to_string(random.Below(10)) + "]";
    }
    if (out.size() >= (1 << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      written += out.size();
      out.clear();
    }
    if (written + out.size() + 40 >= target) break;
  }
  out += "}";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void Deep(size_t target) {
  Random random(99);
  std::string out = "[";
  size_t written = 0;
  for (int item = 0;; ++item) {
    if (item > 0) out += ",";
    const int depth = 45 + random.Below(11);
    for (int d = 0; d < depth; ++d) {
      if (d % 2) {
        out += "[" + std::to_string(random.Below(100)) + ",";
      } else {
        out += "{\"depth\":" + std::to_string(d) + ",\"name\":\"" + kWords[random.Below(8)] +
               kCjkWords[random.Below(8)] + "\",\"child\":";
      }
    }
    out += "\"" + std::string(kWords[random.Below(8)]) + "\"";
    for (int d = depth - 1; d >= 0; --d)
      out += d % 2 ? "]" : "}";
    if (out.size() >= (1 << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      written += out.size();
      out.clear();
    }
    if (written + out.size() + 2000 >= target) break;
  }
  out += "]";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void Chain(size_t target) {
  Random random(99);
  std::string out = "[";
  size_t written = 0;
  for (int item = 0;; ++item) {
    if (item > 0) out += ",";
    const int depth = 45 + random.Below(11);
    for (int d = 0; d < depth; ++d)
      out += d % 2 ? "[" : "{\"level" + std::to_string(d) + "\":";
    out += "\"" + std::string(kWords[random.Below(8)]) + "\"";
    for (int d = depth - 1; d >= 0; --d)
      out += d % 2 ? "]" : "}";
    if (out.size() >= (1 << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      written += out.size();
      out.clear();
    }
    if (written + out.size() + 600 >= target) break;
  }
  out += "]";
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: keelnode_gen records|wide|deep|chain|pretty SIZE_MB\n", stderr);
    return 64;
  }
  const size_t target = static_cast<size_t>(std::strtod(argv[2], nullptr) * 1024 * 1024);
  const std::string kind = argv[1];
  if (kind == "records") {
    Records(target, false);
  } else if (kind == "pretty") {
    Records(target, true);
  } else if (kind == "wide") {
    Wide(target);
  } else if (kind == "deep") {
    Deep(target);
  } else if (kind == "chain") {
    Chain(target);
  } else {
    std::fputs("keelnode_gen: unknown document kind\n", stderr);
    return 64;
  }
  return 0;
}
