// The byte form in which the items of a list (combo box, list box, checked
// list box) are kept in a side file:
//
//   count   4 bytes, little-endian: the number of items
//   items   each item's text (GB18030), followed by one zero byte
//
// Texts never hold a zero byte, so the terminator is unambiguous; an item
// that has one is cut there. An empty list is the four bytes 00 00 00 00,
// so it is stored (and restored) like any other list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keelnode {

std::string EncodeListItems(const std::vector<std::string>& items);
// Nothing when the bytes are not in this form (count and items disagree).
std::optional<std::vector<std::string>> DecodeListItems(std::string_view bytes);

}  // namespace keelnode
