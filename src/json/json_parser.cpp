#include "json/json_parser.h"

#include "json/text_preparation.h"

namespace keelnode {

JsonParser::JsonParser()
    : keep_([this](std::string text) {
        kept_.push_back(std::move(text));
        return std::string_view(kept_.back());
      }) {
  load({});
}

JsonParser::JsonParser(const JsonParser& other) : JsonParser() {
  *this = other;
}

JsonParser& JsonParser::operator=(const JsonParser& other) {
  if (this == &other) return *this;
  text_ = other.text_;
  base_ = std::make_unique<PreparedText>(text_);  // over our own copy of the text
  pathSegments_ = other.pathSegments_;
  return *this;
}

std::string JsonParser::Prepare(std::string_view text) {
  std::string prepared;
  if (!PrepareForSplitting(text, prepared)) prepared.assign(text);
  return prepared;
}

void JsonParser::reset() {
  load({});
}

void JsonParser::load(std::string_view text) {
  text_ = Prepare(text);
  base_ = std::make_unique<PreparedText>(text_);
}

LevelSplitter JsonParser::Splitter() {
  kept_.clear();
  return LevelSplitter(Level{base_.get(), 0, text_.size()}, &keep_);
}

std::string JsonParser::convertSingleQuotes(std::string_view text) const {
  return ConvertSingleQuotes(text);
}
std::string JsonParser::cleanName(std::string_view text) const {
  return CleanName(text);
}
std::string JsonParser::trimValue(std::string_view text) const {
  return TrimValue(text);
}
std::string JsonParser::compactWhitespace(std::string_view text) const {
  return CompactWhitespace(text);
}
void JsonParser::protectEscapedQuotes(std::string& text) const {
  ProtectEscapedQuotes(text);
}
std::string JsonParser::restoreEscapedQuotes(std::string_view text) {
  return RestoreEscapedQuotes(text);
}

int JsonParser::valueKind(std::string_view text) {
  if (text.empty()) return 0;
  return text[0] == '[' ? 2 : text[0] == '{' ? 1 : 0;
}

int JsonParser::splitMembers(std::string_view text, bool reload, std::vector<Member>* members) {
  if (reload) load(text);
  SplitEntries entries;
  Splitter().splitMembers(entries);
  members->clear();
  for (const SplitEntry& e : entries)
    members->push_back({std::string(e.name), std::string(e.value)});
  return static_cast<int>(members->size());
}

int JsonParser::splitItems(std::string_view text, bool reload, std::vector<std::string>* items) {
  if (reload) load(text);
  SplitEntries entries;
  Splitter().splitItems(entries);
  items->clear();
  for (const SplitEntry& e : entries)
    items->emplace_back(e.value);
  return static_cast<int>(items->size());
}

int JsonParser::parseLevel(std::string_view text, std::vector<Member>* members,
                           std::vector<std::string>* items, int* kind) {
  std::string current(text);
  for (int attempt = 1; attempt <= 2; ++attempt) {
    load(current);
    const size_t a = maskedBuffer().find('{');
    const size_t b = maskedBuffer().find('[');
    if (a == std::string_view::npos && b == std::string_view::npos) {
      if (attempt == 2) return 0;
      current = "[" + current + "]";
      continue;
    }
    if (a != std::string_view::npos && (b == std::string_view::npos || a < b)) {
      *kind = 1;
      return splitMembers({}, false, members);
    }
    *kind = 2;
    return splitItems({}, false, items);
  }
  return 0;
}

bool JsonParser::isBalanced(int start, int end) const {
  return LevelSplitter(Level{base_.get(), 0, text_.size()}, nullptr).isBalanced(start, end);
}

std::string JsonParser::scanMemberName(int pos, int* outPos) const {
  std::deque<std::string> kept;
  const KeepText keep = [&kept](std::string text) {
    kept.push_back(std::move(text));
    return std::string_view(kept.back());
  };
  LevelSplitter splitter(Level{base_.get(), 0, text_.size()}, &keep);
  int64_t out = -1;
  std::string name(splitter.scanMemberName(pos, &out));
  *outPos = static_cast<int>(out);
  return name;
}

std::string JsonParser::scanMemberValue(int pos, int* outPos) const {
  int64_t out = -1;
  std::string value(
      LevelSplitter(Level{base_.get(), 0, text_.size()}, nullptr).scanMemberValue(pos, &out));
  *outPos = static_cast<int>(out);
  return value;
}

std::string JsonParser::extract(int start, int end, bool inclusive) const {
  if (start == -1 || end == -1) return {};
  int64_t from = inclusive ? start : static_cast<int64_t>(start) + 1;
  int64_t to = inclusive ? end : static_cast<int64_t>(end) - 1;  // inclusive, 1-based
  if (from < 1) from = 1;
  if (to > static_cast<int64_t>(text_.size())) to = static_cast<int64_t>(text_.size());
  if (to < from) return {};
  std::string_view bytes = std::string_view(text_).substr(from - 1, to - from + 1);
  return std::string(bytes.substr(0, bytes.find('\0')));
}

}  // namespace keelnode
