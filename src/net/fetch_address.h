// Fetching the address on the clipboard: the one entry point for the window's
// paste action and the command line.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "net/charset_mode.h"
#include "net/http_client.h"

namespace keelnode {

struct FetchSettings {
  PlainTimeouts plain;                       // limits of the plain road
  std::chrono::milliseconds secure{120000};  // limit of the secure road
  TransferSettings transfer;                 // trusted certificates, body size limit
};

enum class FetchRoad { kNone, kPlain, kSecure };

// "http://" (first seven characters, any case) takes the plain road,
// "https://" (first eight) the secure road; anything else no road.
FetchRoad roadFor(std::string_view address);

// The document at `address` as program text, or why there is none. Uses a
// fresh client, so nothing (cookies included) carries over from one call to
// the next.
FetchResult fetchAddress(std::string_view address, CharsetMode mode,
                         const FetchSettings& settings = {});

}  // namespace keelnode
