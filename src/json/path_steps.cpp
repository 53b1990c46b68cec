#include "json/path_steps.h"

#include <algorithm>

#include "json/member_name.h"

namespace keelnode {
namespace {

// Steps through a member of an object: the last child with that decoded name.
int MemberChild(const NodeStore& store, int parent, std::string_view name) {
  int found = -1;
  const int end = store.nextAfterSubtree(parent);
  for (int c = parent + 1; c >= 1 && c != end && c <= store.count();
       c = store.nextAfterSubtree(c)) {
    if (DecodeMemberName(store.nameView(c)) == name) found = c;
  }
  return found;
}

int IndexChild(const NodeStore& store, int parent, int64_t index) {
  if (index < 0 || index >= store.childCount(parent)) return -1;
  const int end = store.nextAfterSubtree(parent);
  for (int c = parent + 1; c >= 1 && c != end && c <= store.count();
       c = store.nextAfterSubtree(c)) {
    if (store.ordinal(c) - 1 == index) return c;
  }
  return -1;
}

// A JSON Pointer array index: "0" or digits without a leading zero.
bool PointerIndex(const std::string& token, int64_t* index) {
  if (token.empty() || token.size() > 15) return false;
  if (token.size() > 1 && token[0] == '0') return false;
  int64_t value = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  *index = value;
  return true;
}

}  // namespace

PathStep MemberStep(std::string name) {
  return {.kind = PathStep::Kind::kMember, .name = std::move(name), .index = 0};
}

PathStep IndexStep(int64_t index) {
  return {.kind = PathStep::Kind::kIndex, .name = {}, .index = index};
}

std::vector<PathStep> PathStepsOf(const JsonDocument& doc, int n) {
  const NodeStore& store = doc.store();
  std::vector<PathStep> steps;
  if (n < 1 || n > store.count()) return steps;
  for (int parent = store.parent(n); parent >= 1; n = parent, parent = store.parent(n)) {
    if (store.kind(parent) == kArray) {
      steps.push_back(IndexStep(store.ordinal(n) - 1));
    } else {
      steps.push_back(MemberStep(DecodeMemberName(store.nameView(n))));
    }
  }
  std::reverse(steps.begin(), steps.end());
  return steps;
}

int NodeAtSteps(const JsonDocument& doc, const std::vector<PathStep>& steps) {
  const NodeStore& store = doc.store();
  if (store.count() < 1) return -1;
  int node = 1;
  for (const PathStep& step : steps) {
    const bool array = store.kind(node) == kArray;
    const bool object = store.kind(node) == kObject;
    int64_t index = step.index;
    switch (step.kind) {
      case PathStep::Kind::kMember:
        node = object ? MemberChild(store, node, step.name) : -1;
        break;
      case PathStep::Kind::kIndex:
        node = array ? IndexChild(store, node, index) : -1;
        break;
      case PathStep::Kind::kToken:
        if (array) {
          node = PointerIndex(step.name, &index) ? IndexChild(store, node, index) : -1;
        } else {
          node = object ? MemberChild(store, node, step.name) : -1;
        }
        break;
    }
    if (node == -1) return -1;
  }
  return node;
}

}  // namespace keelnode
