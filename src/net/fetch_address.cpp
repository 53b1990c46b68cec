#include "net/fetch_address.h"

#include "services/ascii_case.h"

namespace keelnode {

FetchRoad roadFor(std::string_view address) {
  if (StartsWithNoCase(address, "http://")) return FetchRoad::kPlain;
  if (StartsWithNoCase(address, "https://")) return FetchRoad::kSecure;
  return FetchRoad::kNone;
}

FetchResult fetchAddress(std::string_view address, CharsetMode mode,
                         const FetchSettings& settings) {
  const FetchRoad road = roadFor(address);
  if (road == FetchRoad::kNone) return Fail(FetchFailure::kNoRoad);
  HttpClient client(settings.transfer);
  if (!client.initialise()) return Fail(FetchFailure::kUnavailable);
  if (road == FetchRoad::kPlain) {
    FetchOptions options;
    options.timeouts = settings.plain;
    return client.fetchDocument(address, mode, options);
  }
  InetOptions options;
  options.timeLimit = settings.secure;
  std::string url(address);
  return client.fetchInetDocument(url, mode, options);
}

}  // namespace keelnode
