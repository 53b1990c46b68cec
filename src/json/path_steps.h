// A node's place in its document as the steps from the root: a decoded
// member name or a 0-based array index for each level. Paths in other
// tools' syntaxes are written from and read into these steps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "json/json_document.h"

namespace keelnode {

struct PathStep {
  enum class Kind {
    kMember,  // `name` in an object
    kIndex,   // `index` in an array
    kToken,   // JSON Pointer: an index in an array, else a member name
  };
  Kind kind = Kind::kMember;
  std::string name;
  int64_t index = 0;
  friend bool operator==(const PathStep&, const PathStep&) = default;
};

PathStep MemberStep(std::string name);
PathStep IndexStep(int64_t index);

// The steps from the root to node n; none for the root or an invalid n.
std::vector<PathStep> PathStepsOf(const JsonDocument& doc, int n);

// The node the steps lead to from the root, or -1. Among members with the
// same decoded name the last one counts, as JSON readers keep the last.
int NodeAtSteps(const JsonDocument& doc, const std::vector<PathStep>& steps);

}  // namespace keelnode
