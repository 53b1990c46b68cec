// The addresses the banner opens in the default browser. Placeholders until
// the project has pages of its own; change them here only.
#pragma once

namespace keelnode {

// Opened by the brand logo.
inline constexpr const char* kMakerHomepage = "https://github.com/keelnode";
// Held by the "软件主页" link and opened by it and its picture.
inline constexpr const char* kProductPage = "https://github.com/keelnode/keelnode";

}  // namespace keelnode
