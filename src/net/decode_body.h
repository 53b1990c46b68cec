// Turning the raw bytes of a fetched document into program text.
//
// Gzip compression is undone first (a corrupt or truncated stream leaves the
// bytes as they were). Then the charset comes from `mode`, or in Auto mode
// from a byte-order mark, a charset named in a meta tag, or the UTF-8 test,
// in that order. UTF-8, UTF-16 and Big5 text is converted to GB18030;
// anything else passes through unchanged (mark included) and counts as Ansi.
// The text ends at its first zero byte. Runs on the GUI thread and lets the
// window handle events during its long scans.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "net/charset_mode.h"
#include "net/fetch_failure.h"

namespace keelnode {

// The full form: reads the file `fileName` (program text; empty text when it
// cannot be read) instead of `bytes` when it is not empty, and `sourceText`
// instead of `bytes` when `bytes` is empty. The result is stored in `text`
// and returned; `detectedMode` receives the mode finally used.
std::string decodeBody(std::string_view fileName, CharsetMode mode, CharsetMode& detectedMode,
                       std::string& text, std::string_view bytes, std::string_view sourceText = {});

// The legacy form of the one below: empty text when it fails.
std::string decodeBody(std::string_view bytes, CharsetMode mode,
                       CharsetMode* detectedMode = nullptr);

// What the fetch roads call. `mode` receives the mode finally used. Fails
// with kTooLarge when gzip would inflate past `maxTextBytes` (at most 1 GiB).
Result<std::string, FetchFailure> decodeFetchedBody(std::string_view bytes, CharsetMode& mode,
                                                    uint64_t maxTextBytes);

}  // namespace keelnode
