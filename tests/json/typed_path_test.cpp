#include "json/typed_path.h"

#include <gtest/gtest.h>

#include "json/member_name.h"
#include "json/path_steps.h"
#include "random_json.h"

namespace keelnode {
namespace {

constexpr PathSyntax kToolSyntaxes[] = {PathSyntax::kJavaScript, PathSyntax::kJq,
                                        PathSyntax::kJsonPath, PathSyntax::kJsonPointer,
                                        PathSyntax::kPython};

// Whether no later sibling of n or of an ancestor, in an object, has the
// same decoded name: else a JSON reader keeps that sibling, and a path
// leads there instead.
bool KeptByJsonReaders(const JsonDocument& doc, int n) {
  const NodeStore& store = doc.store();
  for (int parent = store.parent(n); parent >= 1; n = parent, parent = store.parent(n)) {
    if (store.kind(parent) != kObject) continue;
    const std::string name = DecodeMemberName(store.nameView(n));
    const int end = store.nextAfterSubtree(parent);
    for (int s = store.nextAfterSubtree(n); s != -1 && s != end; s = store.nextAfterSubtree(s)) {
      if (DecodeMemberName(store.nameView(s)) == name) return false;
    }
  }
  return true;
}

// Every node's path in every syntax, read back, names the same node (or,
// for a node a JSON reader would drop for a later namesake, nothing or a
// node of the same steps). Typed into go-to-path the same holds, unless the
// text is also the path box's path of another node: "a[1]" with items
// counted from 1, or "k" where an earlier "k" comes first in the box's
// reading; then the box reading wins.
TEST(TypedPathTest, EverySyntaxRoundTripsOverRandomDocuments) {
  int checked = 0;
  for (uint64_t seed = 1; seed <= 600; ++seed) {
    testing::RandomJson random(seed);
    std::string text = random.Document();
    JsonDocument doc;
    doc.load(text, seed % 2 == 0, false);
    for (int n = 1; n <= doc.store().count(); ++n) {
      const bool kept = KeptByJsonReaders(doc, n);
      const std::vector<PathStep> steps = PathStepsOf(doc, n);
      for (PathSyntax syntax : kToolSyntaxes) {
        const std::string path = WritePath(doc, n, syntax);
        const int found = FindNodeByPath(doc, path, syntax);
        const int typed = FindTypedPath(doc, path, PathSyntax::kInternal);
        if (kept) {
          ASSERT_EQ(found, n) << "seed " << seed << " path " << path;
          const bool boxPath =
              typed != -1 && (WritePath(doc, typed, PathSyntax::kInternal) == path ||
                              WritePath(doc, typed, PathSyntax::kCompact) == path);
          ASSERT_TRUE(typed == n || boxPath) << "seed " << seed << " typed " << path;
          ++checked;
        } else if (found != -1) {
          ASSERT_EQ(PathStepsOf(doc, found), steps) << "seed " << seed << " path " << path;
        }
      }
    }
  }
  EXPECT_GT(checked, 10000);
}

TEST(TypedPathTest, PathBoxFormsComeFirstWhenTheyWriteBack) {
  std::string text = R"({"data":[{"name":"x"},{"name":"y"}],"/k":{"0":5},"$":6})";
  JsonDocument oneBased;
  oneBased.load(text, false, false);
  const int first = FindTypedPath(oneBased, "/data/0/name", PathSyntax::kInternal);
  ASSERT_EQ(oneBased.store().valueView(first), "\"x\"");
  // The path box's own forms, counted as the items are named.
  EXPECT_EQ(FindTypedPath(oneBased, "data.[1].name", PathSyntax::kInternal), first);
  EXPECT_EQ(FindTypedPath(oneBased, "data[1].name", PathSyntax::kInternal), first);
  EXPECT_EQ(FindTypedPath(oneBased, "data[1].name", PathSyntax::kCompact), first);
  // No item [0] here: the JavaScript reading counts from 0.
  EXPECT_EQ(FindTypedPath(oneBased, "data[0].name", PathSyntax::kCompact), first);
  EXPECT_EQ(FindTypedPath(oneBased, ".data[0].name", PathSyntax::kCompact), first);
  EXPECT_EQ(FindTypedPath(oneBased, "$.data[0].name", PathSyntax::kCompact), first);
  EXPECT_EQ(FindTypedPath(oneBased, "[\"data\"][0][\"name\"]", PathSyntax::kCompact), first);
  // A member whose name starts like another syntax is found by its box path.
  EXPECT_EQ(oneBased.store().valueView(FindTypedPath(oneBased, "/k.0", PathSyntax::kInternal)),
            "5");
  EXPECT_EQ(oneBased.store().valueView(FindTypedPath(oneBased, "$", PathSyntax::kInternal)), "6");
  EXPECT_EQ(FindTypedPath(oneBased, "$", PathSyntax::kJsonPath), 1);
  EXPECT_EQ(FindTypedPath(oneBased, " /data/0/name\n", PathSyntax::kCompact), first);
  EXPECT_EQ(FindTypedPath(oneBased, "  ", PathSyntax::kCompact), -1);
  EXPECT_EQ(FindTypedPath(oneBased, "data[9]", PathSyntax::kCompact), -1);
  EXPECT_EQ(FindTypedPath(oneBased, "nothing.here", PathSyntax::kCompact), -1);

  JsonDocument zeroBased;
  zeroBased.load(text, true, false);
  const int second = FindTypedPath(zeroBased, "data[1].name", PathSyntax::kCompact);
  EXPECT_EQ(zeroBased.store().valueView(second), "\"y\"");
  EXPECT_EQ(FindTypedPath(zeroBased, "data.[1].name", PathSyntax::kCompact), second);
}

}  // namespace
}  // namespace keelnode
