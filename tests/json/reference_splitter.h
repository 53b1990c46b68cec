// A deliberately plain splitter and document loader, written straight from
// the rules with 1-based positions, searches from scratch and recursion:
// slow, but easy to check by eye. Tests compare the real ones against it.
// Its text transforms go through the regular-expression service with the
// splitter's stored patterns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace keelnode::reference {

struct Node {
  std::string name;
  int kind;
  std::string value;
  int level;
  friend bool operator==(const Node&, const Node&) = default;
};

std::string CleanName(std::string_view text);
std::string TrimValue(std::string_view text);
std::string CompactWhitespace(std::string_view text);

class Splitter {
 public:
  void load(std::string_view text);
  int64_t find(char c, int64_t from) const;  // 1-based, -1 = none
  bool isBalanced(int64_t start, int64_t end) const;
  std::string scanMemberName(int64_t pos, int64_t* out) const;
  std::string scanMemberValue(int64_t pos, int64_t* out) const;
  std::vector<std::pair<std::string, std::string>> splitMembers(std::string_view text, bool reload);
  std::vector<std::string> splitItems(std::string_view text, bool reload);
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  std::string masked_;
};

// The nodes of a document in pre-order, as the loader makes them.
std::vector<Node> LoadDocument(std::string text, bool zeroBased, bool singleQuote);
// The value the value box shows for an internal-form path (start node 0).
std::string ValueAtPath(const std::vector<Node>& nodes, std::string_view path);

}  // namespace keelnode::reference
