#include "app/document_printer.h"

#include <ostream>

#include "json/escape_decoding.h"
#include "json/item_display.h"
#include "json/text_preparation.h"
#include "services/code_page.h"

namespace keelnode {
namespace {

// Output in UTF-8, written out in large pieces.
class Printer {
 public:
  explicit Printer(std::ostream& out) : out_(out) {}
  ~Printer() { Flush(); }

  // A label, path or value: CR, LF and TAB written as \r, \n and \t.
  void Field(std::string_view text) {
    const size_t start = buffer_.size();
    AppendGb18030AsUtf8(text, buffer_);
    // Line breaks and tabs are rare: only a field that has one is rewritten.
    if (buffer_.find_first_of("\r\n\t", start) == std::string::npos) return;
    utf8_.assign(buffer_, start, std::string::npos);
    buffer_.resize(start);
    size_t from = 0;
    for (size_t i = 0; i < utf8_.size(); ++i) {
      const char c = utf8_[i];
      if (c != '\r' && c != '\n' && c != '\t') continue;
      buffer_.append(utf8_, from, i - from);
      buffer_ += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
      from = i + 1;
    }
    buffer_.append(utf8_, from, std::string::npos);
  }

  // A JSON string with its quotes.
  void JsonString(std::string_view text) {
    utf8_.clear();
    AppendGb18030AsUtf8(text, utf8_);
    buffer_.push_back('"');
    for (char c : utf8_) {
      switch (c) {
        case '"':
          buffer_ += "\\\"";
          break;
        case '\\':
          buffer_ += "\\\\";
          break;
        case '\b':
          buffer_ += "\\b";
          break;
        case '\t':
          buffer_ += "\\t";
          break;
        case '\n':
          buffer_ += "\\n";
          break;
        case '\f':
          buffer_ += "\\f";
          break;
        case '\r':
          buffer_ += "\\r";
          break;
        default:
          if (static_cast<unsigned char>(c) < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            buffer_ += "\\u00";
            buffer_.push_back(kHex[(c >> 4) & 0xF]);
            buffer_.push_back(kHex[c & 0xF]);
          } else {
            buffer_.push_back(c);
          }
      }
    }
    buffer_.push_back('"');
  }

  void Raw(std::string_view ascii) {
    buffer_.append(ascii);
    if (buffer_.size() >= kFlushAt) Flush();
  }

  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr size_t kFlushAt = 1 << 20;
  std::ostream& out_;
  std::string buffer_;
  std::string utf8_;
};

}  // namespace

void PrintTreeLines(const JsonDocument& doc, std::ostream& out) {
  // Straight from the store: the same labels the item block would carry.
  Printer printer(out);
  const NodeStore& store = doc.store();
  std::string indent;
  std::string label;
  for (int n = 1; n <= store.count(); ++n) {
    const size_t width = static_cast<size_t>(store.level(n) - 1) * 2;
    if (indent.size() < width) indent.resize(width, ' ');
    printer.Raw(std::string_view(indent).substr(0, width));
    const std::string_view value = store.valueView(n);
    const std::string_view name = store.nameView(n);
    if (store.kind(n) == kScalar && value.find('#') == std::string_view::npos) {
      // name ":" value, without building the label first (a name always
      // ends with a whole character: the colon after it was found as one).
      printer.Field(name);
      printer.Raw(":");
      printer.Field(value);
    } else {
      doc.treeLabel(n, label);
      printer.Field(label);
    }
    printer.Raw("\n");
  }
}

void PrintPathLines(const JsonDocument& doc, const PathOptions& options, std::ostream& out) {
  Printer printer(out);
  const NodeStore& store = doc.store();
  const PathSpelling spelling =
      options.compactPaths ? PathSpelling::kCompact : PathSpelling::kArrayNodes;
  for (int n = 2; n <= store.count(); ++n) {
    ItemTexts texts = ItemTextsOf(doc, n, spelling);
    const std::string& path = texts.path;
    const std::string& value = options.decoded ? texts.decoded : texts.value;
    printer.Field(options.syntax ? WritePath(doc, n, *options.syntax) : path);
    printer.Raw("\t");
    printer.Field(value);
    printer.Raw("\n");
  }
}

void PrintNodeLines(const JsonDocument& doc, std::ostream& out) {
  Printer printer(out);
  const NodeStore& store = doc.store();
  for (int n = 1; n <= store.count(); ++n) {
    printer.Raw("{\"level\":" + std::to_string(store.level(n)) +
                ",\"kind\":" + std::to_string(store.kind(n)) + ",\"name\":");
    printer.JsonString(store.nameView(n));
    printer.Raw(",\"value\":");
    printer.JsonString(RestoreEscapedQuotes(store.valueView(n)));
    printer.Raw("}\n");
  }
}

void PrintPathList(const JsonDocument& doc, const std::vector<int>& nodes, PathSyntax syntax,
                   std::ostream& out) {
  Printer printer(out);
  for (int node : nodes) {
    printer.Field(WritePath(doc, node, syntax));
    printer.Raw("\n");
  }
}

void PrintValueLine(std::string_view value, std::ostream& out) {
  Printer printer(out);
  printer.Field(value);
  printer.Raw("\n");
}

}  // namespace keelnode
