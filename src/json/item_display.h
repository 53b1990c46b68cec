// What the window's path, value and decoded-value boxes show for an item,
// and so what the command line prints for it: one chain for both faces.
//
// The path box shows the item's path; the value is read back from that
// path (as the window reads what the user typed), so an item whose path
// also names an earlier sibling shows that sibling's value, in both faces.
#pragma once

#include <string>
#include <string_view>

#include "json/json_document.h"
#include "json/value_heads.h"

namespace keelnode {

enum class PathSpelling {
  kArrayNodes,  // "a.[0].b": array items are nodes of the path
  kCompact,     // "a[0].b"
};

// The path box's text for `node`.
std::string PathBoxText(const JsonDocument& doc, int node, PathSpelling spelling);

// The node a path box text names; -1 when none. An empty path is the root.
int NodeOfPathBoxText(const JsonDocument& doc, std::string_view text, PathSpelling spelling);

inline ValueForm ValueFormOf(int node) {
  return node == 1 ? ValueForm::kRoot : ValueForm::kMember;
}

// The value box's whole text for `node`; empty for -1.
std::string ValueBoxText(const JsonDocument& doc, int node);

struct ItemTexts {
  std::string path;
  std::string value;
  std::string decoded;
};

// The three boxes for `node`, the value read back from the path.
ItemTexts ItemTextsOf(const JsonDocument& doc, int node, PathSpelling spelling);

}  // namespace keelnode
