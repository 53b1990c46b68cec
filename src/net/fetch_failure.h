// Why a fetch gave no document.
#pragma once

#include <string>
#include <string_view>

#include "services/result.h"

namespace keelnode {

enum class FetchFailure {
  kNoRoad,       // not an http:// or https:// address
  kUnavailable,  // the transfer library cannot be used
  kUnreachable,  // the name does not resolve, or nothing answers
  kTls,          // the secure connection failed (certificate, handshake)
  kTimeout,      // a time limit ran out
  kTooLarge,     // the body, or what it inflates to, is over the limit
  kTransfer,     // any other failure of the transfer
};

// A short English phrase for the command line: "timed out", ….
std::string_view fetchFailureText(FetchFailure failure);

// A fetched document as program text, or why there is none. An empty body
// is an empty document, not a failure.
using FetchResult = Result<std::string, FetchFailure>;

}  // namespace keelnode
