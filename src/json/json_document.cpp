#include "json/json_document.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>

#include "json/level_splitter.h"
#include "json/prepared_text.h"
#include "json/text_preparation.h"
#include "json/value_heads.h"
#include "services/mbcs.h"
#include "services/yield_to_ui.h"

namespace keelnode {
namespace {

constexpr size_t npos = std::string_view::npos;

// One object or array whose children are being added: the loader walks the
// document depth-first with these on an explicit stack, so nesting depth
// costs heap, not native stack. Frames are reused as the walk goes up and
// down, so a level costs no allocation of its own.
struct Frame {
  int node = 0;
  bool items = false;  // an array's items rather than an object's members
  // The level is split in batches, so a wide one holds only a batch of
  // entries at a time.
  std::optional<LevelSplitter> splitter;
  LevelSplitter::Cursor cursor;
  SplitEntries entries;
  size_t next = 0;     // in `entries`
  size_t ordinal = 0;  // in the level
  // Whether the batch at hand is the level's last.
  bool LastBatch() const { return cursor.done; }
  // The next batch; false when the level has no more entries.
  bool Refill() {
    next = 0;
    if (cursor.done) {
      entries.clear();
      return false;
    }
    if (items) {
      splitter->splitItems(cursor, kBatch, entries);
    } else {
      splitter->splitMembers(cursor, kBatch, entries);
    }
    return !entries.empty();
  }
  static constexpr size_t kBatch = 4096;
  // The prepared text the entries point into (its masked twin is needed
  // while descendants are split), and ownership of it when this level had
  // to be prepared anew; a slice level shares its parent's.
  const PreparedText* base = nullptr;
  std::unique_ptr<const PreparedText> owned;
  // Prepared texts of finished ancestors whose frames this one took over
  // (see below); the levels below may still be slices of them.
  std::vector<std::unique_ptr<const PreparedText>> inherited;
};

// Walks a document depth-first, level by level, appending its nodes to a
// store in pre-order.
class DocumentLoader {
 public:
  DocumentLoader(NodeStore& store, bool zeroBased)
      : store_(store),
        zeroBased_(zeroBased),
        keep_([this](std::string kept) { return store_.Adopt(std::move(kept)); }) {}

  void Load(std::string text) {
    LoadRoot(store_.Adopt(std::move(text)));
    while (depth_ > 0)
      Step();
  }

 private:
  // A text prepared for splitting, owned by the store; the masked twin only
  // lives while its levels are being split.
  std::unique_ptr<const PreparedText> Prepare(std::string_view value) {
    std::string prepared;
    const std::string_view kept =
        PrepareForSplitting(value, prepared) ? store_.Adopt(std::move(prepared)) : value;
    return std::make_unique<const PreparedText>(kept);
  }

  // A frame for the next level down, reset for reuse. References to frames
  // taken before do not survive it.
  Frame& Push() {
    if (depth_ == frames_.size()) frames_.emplace_back();
    Frame& f = frames_[depth_++];
    f.splitter.reset();
    f.cursor = {};
    f.entries.clear();
    f.next = 0;
    f.ordinal = 0;
    f.owned.reset();
    f.inherited.clear();
    return f;
  }

  void StartLevel(Frame& f, Level level, size_t groupHint) {
    f.splitter.emplace(level, &keep_, groupHint);
    f.Refill();
  }

  // The root: the first "{" or "[" anywhere decides; text with neither is
  // taken as the items of "[" + text + "]".
  void LoadRoot(std::string_view rootText) {
    std::unique_ptr<const PreparedText> base = Prepare(rootText);
    size_t brace = base->masked().find('{');
    size_t bracket = base->masked().find('[');
    if (brace == npos && bracket == npos) {
      base = Prepare(store_.Adopt("[" + std::string(rootText) + "]"));
      brace = base->masked().find('{');
      bracket = base->masked().find('[');
    }
    const bool isObject = brace != npos && (bracket == npos || brace < bracket);
    // Room for as many nodes as the text has separators, plus the root and
    // a last item (a node takes two bytes at least, "1,"): growing the array
    // later would copy it, and room never used is never touched.
    store_.reserve(std::min(base->separatorCount(), base->size() / 2) + 2);
    Frame& root = Push();
    root.node = store_.insertShared(-1, "JSON", isObject ? kObject : kArray, rootText);
    root.items = !isObject;
    root.base = base.get();
    root.owned = std::move(base);
    if (isObject || bracket != npos) {
      StartLevel(root, Level{root.base, 0, root.base->size()}, npos);
    } else {
      root.cursor.done = true;
    }
  }

  // "[n]", counted from 0 or 1.
  std::string_view ItemName(size_t ordinal) {
    char name[24];
    name[0] = '[';
    char* end = std::to_chars(name + 1, name + sizeof name - 1, ordinal + (zeroBased_ ? 0 : 1)).ptr;
    *end++ = ']';
    return store_.AdoptCopy(std::string_view(name, end - name));
  }

  // Adds the next entry of the deepest open level, or closes that level.
  void Step() {
    Frame& frame = frames_[depth_ - 1];
    if (frame.next == frame.entries.size() && !frame.Refill()) {
      frame.owned.reset();
      frame.inherited.clear();
      --depth_;
      return;
    }
    const size_t ordinal = frame.ordinal++;
    const SplitEntry entry = frame.entries[frame.next++];
    std::string_view name = entry.name;
    if (frame.items) {
      name = ItemName(ordinal);
    } else {
      yieldToUi();
    }
    const int kind = JsonParser::valueKind(entry.value);
    const int node = store_.insertShared(frame.node, name, kind, entry.value);
    if (kind != kScalar) Descend(entry, node, kind);
  }

  // Opens the level of a container just added under the deepest frame.
  void Descend(const SplitEntry& entry, int node, int kind) {
    Frame& parent = frames_[depth_ - 1];
    const PreparedText* parentBase = parent.base;
    // The last entry of its level: the level is done once this value is,
    // so the value's frame takes its place (keeping its prepared texts
    // alive). A chain of single members or items then needs two frames,
    // not one per level.
    std::vector<std::unique_ptr<const PreparedText>> inherited;
    if (parent.next == parent.entries.size() && parent.LastBatch()) {
      inherited = std::move(parent.inherited);
      if (parent.owned) inherited.push_back(std::move(parent.owned));
      --depth_;
    }
    Frame& child = Push();
    child.inherited = std::move(inherited);
    child.node = node;
    child.items = kind == kArray;
    // The value's own level: a slice of the same prepared text when
    // preparing it again would change nothing, else prepared anew.
    if (entry.valueOffset != npos &&
        !parentBase->SliceNeedsPreparing(entry.valueOffset,
                                         entry.valueOffset + entry.value.size())) {
      child.base = parentBase;
      StartLevel(child, {child.base, entry.valueOffset, entry.value.size()}, entry.groupHint);
    } else {
      child.owned = Prepare(entry.value);
      child.base = child.owned.get();
      StartLevel(child, {child.base, 0, child.base->size()}, npos);
    }
  }

  NodeStore& store_;
  const bool zeroBased_;
  const KeepText keep_;
  std::vector<Frame> frames_;
  size_t depth_ = 0;
};

}  // namespace

JsonDocument::JsonDocument() = default;

void JsonDocument::load(std::string& text, bool zeroBased, bool singleQuote) {
  if (singleQuote) text = ConvertSingleQuotes(text);
  loadOwned(text, zeroBased, false);
}

void JsonDocument::loadOwned(std::string text, bool zeroBased, bool singleQuote) {
  zeroBasedIndices_ = zeroBased;
  store_.clear();
  if (singleQuote) text = ConvertSingleQuotes(text);
  DocumentLoader(store_, zeroBased).Load(std::move(text));
}

void JsonDocument::treeLabel(int n, std::string& out) const {
  out.assign(store_.nameView(n));
  if (store_.kind(n) != kScalar) return;
  out.push_back(':');
  std::string_view value = store_.valueView(n);
  if (value.find('#') == npos) {
    out.append(value);
  } else {
    out.append(RestoreEscapedQuotes(value));
  }
}

TreeItemList JsonDocument::buildTreeItems() const {
  TreeItemList list;
  const int count = store_.count();
  size_t bytes = 0;
  for (int n = 1; n <= count; ++n) {
    bytes += store_.nameView(n).size() + TreeItemList::kFixedBytes;
    if (store_.kind(n) == kScalar) bytes += 1 + store_.valueView(n).size();
  }
  list.Reserve(bytes);
  std::string label;
  for (int n = 1; n <= count; ++n) {
    yieldToUi();
    treeLabel(n, label);
    const int kind = store_.kind(n);
    list.AddItem(label, kind, kind, n, 0, 0, store_.level(n));
  }
  return list;
}

std::string JsonDocument::valueAtRelativePath(std::string_view path) const {
  if (path.empty()) return valueAtPath(basePath_, 0);
  return valueAtPath(basePath_ + "." + std::string(path), 0);
}

int JsonDocument::nodeAtPath(std::string_view path, int startNode) const {
  const std::vector<std::string> segments = JsonParser::PathSegments(path);
  if (path.empty() || segments.empty()) return 1;
  return nodeAtSegments(segments, startNode);
}

int JsonDocument::nodeAtSegments(const std::vector<std::string>& segments, int startNode) const {
  int cur = startNode >= 1 ? startNode : 1;
  const int skip = startNode >= 1 ? store_.level(startNode) : 0;
  for (int k = 1; k <= static_cast<int>(segments.size()); ++k) {
    if (k < skip) continue;
    // The first child of `cur` with that name, when `cur` sits at level k
    // (always so from the root); otherwise the plain forward search.
    cur = store_.level(cur) == k ? store_.firstChildNamed(cur, segments[k - 1])
                                 : store_.findChild(k + 1, segments[k - 1], cur);
    if (cur == -1) return -1;
  }
  if (startNode >= 1 && cur == startNode) return -1;
  return cur;
}

std::string JsonDocument::valueAtPath(std::string_view path, int startNode) const {
  const std::vector<std::string> segments = JsonParser::PathSegments(path);
  if (path.empty() || segments.empty()) return CompactWhitespace(store_.valueView(1));
  const int node = nodeAtSegments(segments, startNode);
  std::string value;
  if (node != -1) displayValueInto(store_.valueView(node), value);
  return value;
}

std::string JsonDocument::displayValue(std::string_view text) const {
  std::string out;
  displayValueInto(text, out);
  return out;
}

void JsonDocument::displayValueInto(std::string_view text, std::string& out) const {
  out = WholeValue(text, ValueForm::kMember);
}

std::string JsonDocument::pathOfNode(int n) const {
  // Names from the node up to the root's child; leading empty names (seen
  // first on the way up) leave no segment, as when each name is put in
  // front of the path built so far or stands alone while it is empty.
  std::vector<std::string_view> names;
  while (store_.parent(n) >= 1) {
    names.push_back(store_.nameView(n));
    n = store_.parent(n);
  }
  size_t first = 0;
  while (first < names.size() && names[first].empty())
    ++first;
  std::string path;
  for (size_t i = names.size(); i-- > first;) {
    std::string_view s = names[i];
    const bool quote = FindAsciiByte(s, '.') != npos;
    if (quote) path.push_back('"');
    path.append(s);
    if (quote) path.push_back('"');
    if (i > first) path.push_back('.');
  }
  return path;
}

}  // namespace keelnode
