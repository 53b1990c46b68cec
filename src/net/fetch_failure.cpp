#include "net/fetch_failure.h"

namespace keelnode {

std::string_view fetchFailureText(FetchFailure failure) {
  switch (failure) {
    case FetchFailure::kNoRoad:
      return "not an http:// or https:// address";
    case FetchFailure::kUnavailable:
      return "the transfer library cannot be used";
    case FetchFailure::kUnreachable:
      return "the host cannot be reached";
    case FetchFailure::kTls:
      return "the secure connection failed";
    case FetchFailure::kTimeout:
      return "timed out";
    case FetchFailure::kTooLarge:
      return "the document is too large";
    case FetchFailure::kTransfer:
      break;
  }
  return "the transfer failed";
}

}  // namespace keelnode
