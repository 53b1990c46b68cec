// Writes deterministic JSON documents for the benchmarks to standard output.
//
//   keelnode_gen records|wide|deep|chain|pretty SIZE_MB
//
// records: an object whose "data" array holds records of ids, names,
//          numbers, booleans, nulls, a small nested object and array,
//          strings with CJK text, \uXXXX escapes, \", URLs whose query
//          parameters are joined by "&" (no ";"), and HTML fragments.
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
#include <string_view>

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
         "?tab=" + kWords[random.Below(8)] +
         "&lang=zh-CN&page=" + std::to_string(random.Below(50)) + "&q=" + kWords[random.Below(8)] +
         "%20" + kWords[random.Below(8)] + "\"";
  out += "," + nl2 + "\"html\"" + sep + "\"<p class=\\\"intro\\\">" + kWords[random.Below(8)] +
         " &amp; <b>" + kCjkWords[random.Below(8)] + "</b><br/><a href=\\\"/u/" +
         std::to_string(id) + "?a=1&b=2\\\">&#x66F4;&#22810;</a>&nbsp;&copy</p>\"";
  out += nl + "}";
}

// Writes `opening`, then elements joined by `separator` until the document
// is about `target` bytes long, then `closing(count)`.
template <typename Element, typename Closing>
void WriteDocument(size_t target, std::string_view opening, std::string_view separator,
                   Element&& element, Closing&& closing) {
  std::string out(opening);
  std::string piece;
  size_t written = 0;
  int count = 0;
  while (true) {
    piece.clear();
    element(count, piece);
    if (count > 0) out += separator;
    out += piece;
    ++count;
    if (out.size() >= (1 << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      written += out.size();
      out.clear();
    }
    // Stop when one more element of about the same size would pass it.
    if (written + out.size() + piece.size() >= target) break;
  }
  out += closing(count);
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void Records(size_t target, bool pretty) {
  Random random(42);
  WriteDocument(
      target, pretty ? "{\n  \"data\": [\n    " : "{\"data\":[", pretty ? ",\n    " : ",",
      [&](int id, std::string& out) { AppendRecord(out, id, random, pretty ? "    " : ""); },
      [&](int count) {
        return pretty ? "\n  ],\n  \"total\": " + std::to_string(count) + "\n}\n"
                      : "],\"total\":" + std::to_string(count) + "}";
      });
}

void Wide(size_t target) {
  Random random(7);
  WriteDocument(
      target, "{", ",",
      [&](int key, std::string& out) {
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
            out += "[" + std::to_string(random.Below(10)) + "," + std::to_string(random.Below(10)) +
                   "]";
        }
      },
      [](int) { return std::string("}"); });
}

// An array of values nested about 50 levels deep, alternating objects and
// arrays; `level` writes the opening of one level.
template <typename Level>
void Nested(size_t target, Level&& level) {
  Random random(99);
  WriteDocument(
      target, "[", ",",
      [&](int, std::string& out) {
        const int depth = 45 + random.Below(11);
        for (int d = 0; d < depth; ++d)
          level(d, random, out);
        out += "\"" + std::string(kWords[random.Below(8)]) + "\"";
        for (int d = depth - 1; d >= 0; --d)
          out += d % 2 ? "]" : "}";
      },
      [](int) { return std::string("]"); });
}

void Deep(size_t target) {
  Nested(target, [](int d, Random& random, std::string& out) {
    if (d % 2) {
      out += "[" + std::to_string(random.Below(100)) + ",";
    } else {
      out += "{\"depth\":" + std::to_string(d) + ",\"name\":\"" + kWords[random.Below(8)] +
             kCjkWords[random.Below(8)] + "\",\"child\":";
    }
  });
}

void Chain(size_t target) {
  Nested(target, [](int d, Random&, std::string& out) {
    out += d % 2 ? "[" : "{\"level" + std::to_string(d) + "\":";
  });
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
