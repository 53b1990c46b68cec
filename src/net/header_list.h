// The request headers of one request, in the order they are sent.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace keelnode {

class HeaderList {
 public:
  // Adds the header, or gives a header of the same name (case ignored) the
  // new value in its place. A name or value that could break the request
  // apart (line breaks, a colon or space in the name) is refused.
  void set(std::string_view name, std::string_view value);
  bool has(std::string_view name) const;

  // Adds every "Name: value" line of CRLF-separated `text` whose name and
  // value (split at the first ": ") are both non-empty.
  void addLines(std::string_view text);

  // Lines for libcurl: "Name: value" ("Name;" for an empty value), then
  // "Name:" for each header libcurl adds on its own, to keep it off the wire.
  std::vector<std::string> curlLines(std::initializer_list<std::string_view> suppressed) const;

 private:
  std::vector<std::pair<std::string, std::string>> headers_;
};

}  // namespace keelnode
