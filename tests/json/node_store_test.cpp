#include "json/node_store.h"

#include <gtest/gtest.h>

namespace keelnode {
namespace {

TEST(NodeStoreTest, EmptyStoreAnswersForInvalidNumbers) {
  NodeStore store;
  EXPECT_EQ(store.count(), 0);
  EXPECT_EQ(store.name(1), "");
  EXPECT_EQ(store.kind(1), -1);
  EXPECT_EQ(store.level(1), -1);
  EXPECT_EQ(store.parent(1), -1);
  EXPECT_EQ(store.nextAfterSubtree(1), -1);
  EXPECT_FALSE(store.hasChildren(1));
  EXPECT_FALSE(store.setName(1, "x"));
  EXPECT_FALSE(store.setTag(0, 1, false));
}

TEST(NodeStoreTest, AppendsKeepPreOrderAndCountChildren) {
  NodeStore store;
  const int root = store.insert(-1, "JSON", kObject, "{...}");
  const int a = store.insert(root, "a", kArray, "[1,2]");
  const int a1 = store.insert(a, "[1]", kScalar, "1");
  const int a2 = store.insert(a, "[2]", kScalar, "2");
  const int b = store.insert(root, "b", kScalar, "3");
  EXPECT_EQ((std::vector<int>{root, a, a1, a2, b}), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(store.level(a2), 3);
  EXPECT_EQ(store.ordinal(a2), 2);
  EXPECT_EQ(store.childCount(root), 2);
  EXPECT_EQ(store.childCount(a), 2);
  EXPECT_EQ(store.parent(root), 0);
  EXPECT_EQ(store.parent(a2), a);
  EXPECT_EQ(store.parent(b), root);
  EXPECT_EQ(store.nextAfterSubtree(a), b);
  EXPECT_EQ(store.nextAfterSubtree(b), -1);
  EXPECT_EQ(store.nextAfterSubtree(root), -1);
  EXPECT_EQ(store.topLevelCount(), 1);
}

TEST(NodeStoreTest, InsertingUnderAnEarlierParentShiftsLaterNodes) {
  NodeStore store;
  const int root = store.insert(-1, "JSON", kObject, "");
  const int first = store.insert(root, "first", kObject, "");
  store.insert(root, "second", kScalar, "2");
  store.insert(root, "third", kScalar, "3");
  const int grandchild = store.insert(first, "g", kScalar, "1");
  EXPECT_EQ(grandchild, 3);
  EXPECT_EQ(store.name(4), "second");
  EXPECT_EQ(store.name(5), "third");
  EXPECT_EQ(store.parent(5), root);
  EXPECT_EQ(store.parent(3), first);
  EXPECT_EQ(store.nextAfterSubtree(first), 4);
  // Appending after the shift still lands at the end of the right subtree.
  EXPECT_EQ(store.insert(first, "h", kScalar, "2"), 4);
  EXPECT_EQ(store.insert(root, "fourth", kScalar, "4"), 7);
  EXPECT_EQ(store.ordinal(7), 4);
}

TEST(NodeStoreTest, SecondTopLevelNodeClosesTheFirst) {
  NodeStore store;
  store.insert(-1, "one", kObject, "");
  store.insert(1, "child", kScalar, "");
  EXPECT_EQ(store.insert(0, "two", kScalar, ""), 3);
  EXPECT_EQ(store.ordinal(3), 2);
  EXPECT_EQ(store.topLevelCount(), 2);
  EXPECT_EQ(store.nextAfterSubtree(1), 3);
  EXPECT_EQ(store.parent(3), 0);
}

TEST(NodeStoreTest, FindChildStaysInsideTheSubtreeAndComparesExactly) {
  NodeStore store;
  const int root = store.insert(-1, "JSON", kObject, "");
  const int x = store.insert(root, "x", kObject, "");
  store.insert(x, "a", kScalar, "deep");
  store.insert(root, "A", kScalar, "upper");
  const int a = store.insert(root, "a", kScalar, "lower");
  EXPECT_EQ(store.findChild(2, "a", root), a);  // skips the level-3 "a"
  EXPECT_EQ(store.findChild(2, "A", root), 4);
  EXPECT_EQ(store.findChild(3, "a", x), 3);
  EXPECT_EQ(store.findChild(3, "b", x), -1);
  // Starting inside x's subtree, a level-3 search stops at the first node
  // above that level.
  EXPECT_EQ(store.findChild(3, "A", x), -1);
  // Starting at the root itself (level 1) stops at once.
  EXPECT_EQ(store.findChild(2, "a", 0), -1);
  EXPECT_EQ(store.findChild(2, "a", -5), -1);
}

TEST(NodeStoreTest, FindChildStopsAtTheNextTopLevelNode) {
  NodeStore store;
  const int first = store.insert(-1, "one", kObject, "");
  store.insert(first, "b", kScalar, "");
  const int second = store.insert(-1, "two", kObject, "");
  store.insert(second, "a", kScalar, "");
  EXPECT_EQ(store.findChild(2, "a", first), -1);
  EXPECT_EQ(store.findChild(2, "a", second), 4);
}

TEST(NodeStoreTest, FirstChildNamedAgreesWithFindChildOnWideParents) {
  NodeStore store;
  const int root = store.insert(-1, "JSON", kObject, "");
  for (int i = 0; i < 100; ++i) {
    const int n = store.insert(root, "k" + std::to_string(i % 40), kObject, "");
    store.insert(n, "inner", kScalar, std::to_string(i));
  }
  for (int i = 0; i < 45; ++i) {
    const std::string name = "k" + std::to_string(i);
    EXPECT_EQ(store.firstChildNamed(root, name), store.findChild(2, name, root)) << name;
  }
  store.setName(2, "renamed");
  EXPECT_EQ(store.firstChildNamed(root, "renamed"), 2);
  EXPECT_EQ(store.firstChildNamed(root, "k0"), store.findChild(2, "k0", root));
}

TEST(NodeStoreTest, CopiesAreDeepAndIndependent) {
  NodeStore store;
  const int root = store.insert(-1, "JSON", kObject, std::string(10000, 'v'));
  store.insert(root, "a", kScalar, "1");
  NodeStore copy = store;
  store.setValue(2, "changed");
  store.clear();
  ASSERT_EQ(copy.count(), 2);
  EXPECT_EQ(copy.value(1), std::string(10000, 'v'));
  EXPECT_EQ(copy.value(2), "1");
  EXPECT_EQ(copy.insert(1, "b", kScalar, "2"), 3);
  std::vector<NodeRecord> records;
  EXPECT_EQ(copy.copyAll(records), 3);
  EXPECT_EQ(records[2].name, "b");
  EXPECT_EQ(records[2].level, 2);
  EXPECT_EQ(records[2].ordinal, 2);
}

TEST(NodeStoreTest, TagsAreSetOrAdded) {
  NodeStore store;
  store.insert(-1, "JSON", kObject, "");
  EXPECT_EQ(store.tag(1), 0);
  store.setTag(1, 5, false);
  store.setTag(1, 3, true);
  EXPECT_EQ(store.tag(1), 8);
  store.setKind(1, kArray);
  EXPECT_EQ(store.kind(1), kArray);
}

}  // namespace
}  // namespace keelnode
