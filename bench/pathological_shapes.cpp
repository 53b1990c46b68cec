#include "pathological_shapes.h"

#include <algorithm>
#include <string_view>

#include "services/code_page.h"

namespace keelnode::bench {
namespace {

// Repeats `unit` between `open` and `close` until the text is about `bytes`.
std::string Repeat(std::string_view open, std::string_view unit, std::string_view close,
                   size_t bytes) {
  std::string out(open);
  out.reserve(bytes + close.size() + unit.size());
  while (out.size() + unit.size() + close.size() <= bytes)
    out.append(unit);
  out.append(close);
  return out;
}

std::string Gb(std::string_view utf8) {
  return Utf8ToGb18030(utf8);
}

// Records as a web interface returns them: URLs with "&" query parameters
// and no ";", HTML fragments, CJK text and "\u" escapes.
std::string Records(size_t bytes) {
  const std::string city = Gb("岚溪城市");
  std::string out = "{\"data\":[";
  for (int id = 0; out.size() < bytes; ++id) {
    if (id > 0) out += ',';
    const std::string n = std::to_string(id);
    out += "{\"id\":" + n + ",\"name\":\"" + city + n + "\",\"url\":\"https://example.com/items/" +
           n + "?page=" + n + "&lang=zh-CN&sort=desc&q=a%20b\",\"html\":\"<p class=\\\"note\\\">" +
           city +
           " &amp; more<br/><a href=\\\"/x?a=1&b=2\\\">link</a></p>\",\"bio\":\"\\u4e2d\\u6587 " +
           "said \\\"hi\\\"\",\"tags\":[\"a\",\"" + city + "\"],\"geo\":{\"lat\":1.5,\"lng\":2}}";
  }
  out += "]}";
  return out;
}

std::string UrlArray(size_t bytes) {
  return Repeat("[", "\"u?a=1&b=2\",", "\"u\"]", bytes);
}

std::string AmpersandString(size_t bytes) {
  return Repeat("{\"s\":\"", "x=1&lang=zh&", "\"}", bytes);
}

std::string ShortEscapes(size_t bytes) {
  return Repeat("{\"s\":\"", "\\u4e\\u0\\u", "\"}", bytes);
}

std::string Backslashes(size_t bytes) {
  return Repeat("[\"", "\\\\\\\\", "\"]", bytes);
}

// An even number of each quote per unit, so that every size splits alike.
std::string Quotes(size_t bytes) {
  return Repeat("[", "\"'\"''\"\"'", "]", bytes);
}

std::string Placeholders(size_t bytes) {
  return Repeat("{\"s\":\"", "#SYH#SY\\\"#SYH", "\"}", bytes);
}

// One long string of words and CJK text: one value of the whole size.
std::string OneString(size_t bytes) {
  return Repeat("[\"", Gb("word 中文 a&b <i>x</i> "), "\"]", bytes);
}

// One line without a blank: one scalar of the whole size.
std::string OneLine(size_t bytes) {
  return Repeat("[", "abcdefgh", "]", bytes);
}

std::string WideObject(size_t bytes) {
  std::string out = "{";
  for (int k = 0; out.size() < bytes; ++k)
    out += (k ? ",\"k" : "\"k") + std::to_string(k) + "\":" + std::to_string(k % 97);
  return out + "}";
}

std::string WideArray(size_t bytes) {
  return Repeat("[", "7,", "7]", bytes);
}

std::string DeepObject(size_t bytes) {
  const size_t levels = bytes / 6;
  std::string out;
  out.reserve(levels * 6 + 1);
  for (size_t i = 0; i < levels; ++i)
    out += "{\"a\":";
  out += '1';
  out.append(levels, '}');
  return out;
}

std::string DeepArray(size_t bytes) {
  const size_t levels = bytes / 2;
  return std::string(levels, '[') + std::string(levels, ']');
}

// Items whose labels are a megabyte each (a quarter of the size in a
// smaller document, so that it still has several).
std::string LongLabels(size_t bytes) {
  const std::string item = "\"" + std::string(std::min<size_t>(1 << 20, bytes / 4), 'a') + "\",";
  return Repeat("[", item, "\"b\"]", bytes);
}

// Characters whose second byte is a backslash, a quote-free run.
std::string TrailBackslashes(size_t bytes) {
  return Repeat("[\"", "\x81\x5C\x95\x5C", "\"]", bytes);
}

std::string MetaTags(size_t bytes) {
  return Repeat("<html><head>", "<meta name=\"x\" content=\"charset=gbk\"><meta", "</head>", bytes);
}

std::string ManyKeys(size_t bytes) {
  std::string out = "[other]";
  for (int k = 0; out.size() < bytes; ++k)
    out += "\r\nkey" + std::to_string(k) + "=value" + std::to_string(k);
  return out + Gb("\r\n[JSON树]\r\n编辑框查找文本=needle\r\n选择框忽略大小写=真");
}

std::string LongValue(size_t bytes) {
  return Repeat(Gb("[JSON树]\r\n选择框忽略大小写=真\r\n编辑框查找文本="), Gb("ab┊*┊c "), "", bytes);
}

// Lines that open like a header but do not close like one, between the
// section's header and its entries.
std::string FakeHeaders(size_t bytes) {
  return Repeat(Gb("[JSON树]"), "\r\n[k=v", Gb("]\r\n编辑框查找文本=needle"), bytes);
}

}  // namespace

const std::vector<Shape>& PathologicalShapes() {
  static const std::vector<Shape> shapes = {
      {"records", "records with &-URLs, HTML, CJK, escapes", Records},
      {"url-array", "array of \"u?a=1&b=2\"", UrlArray},
      {"amp-string", "one string of & without ;", AmpersandString},
      {"short-u", "\\u with too few hex digits", ShortEscapes},
      {"backslashes", "a run of backslashes", Backslashes},
      {"quotes", "runs of \" and '", Quotes},
      {"placeholder", "#SYH#-like text", Placeholders},
      {"one-string", "one string of the whole size", OneString},
      {"one-line", "one line without blanks", OneLine},
      {"wide-object", "one object, very many keys", WideObject},
      {"wide-array", "one array, very many items", WideArray},
      {"deep-object", "{\"a\": nested to the end", DeepObject},
      {"deep-array", "[ nested to the end", DeepArray},
      {"long-labels", "labels of 1 MB", LongLabels},
      {"trail-bytes", "characters ending in a backslash byte", TrailBackslashes},
      {"meta-tags", "HTML head of meta tags", MetaTags},
  };
  return shapes;
}

const std::vector<IniShape>& PathologicalIniShapes() {
  static const std::vector<IniShape> shapes = {
      {"ini-many-keys", "a section of very many keys first", ManyKeys},
      {"ini-long-value", "one value of the whole size", LongValue},
      {"ini-fake-headers", "lines that open like headers", FakeHeaders},
  };
  return shapes;
}

}  // namespace keelnode::bench
