// The beginnings of the value box's and the decoded-value box's texts,
// made from as little of a stored value as gives them byte for byte.
//
// The boxes show a bounded beginning of a value that may be a whole large
// document; cleaning and decoding all of it for that would stall the
// window. Both transformations read ahead only a bounded or checkable
// distance, so a beginning of the input cut where nothing reaches across
// the cut yields a beginning of the output (see value_heads.cpp).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace keelnode {

// How a stored value becomes the value box's text.
enum class ValueForm {
  kMember,  // any node below the root: JsonDocument::displayValue
  kRoot,    // the root (empty path): whitespace compacted
};

// The value box's whole text for a stored value.
std::string WholeValue(std::string_view stored, ValueForm form);
// The decoded-value box's whole text for the value box's text.
std::string DecodeValue(std::string_view value);

struct TextHead {
  std::string text;    // the whole text, or a beginning of it
  bool whole = false;  // `text` is all of it
};

struct ValueHeads {
  TextHead value;
  TextHead decoded;
};

// Each head is the whole text or a beginning of at least `bytes` bytes.
ValueHeads ValueHeadsOf(std::string_view stored, ValueForm form, size_t bytes);

}  // namespace keelnode
