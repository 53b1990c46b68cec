#include "net/fetch_address.h"

#include "net/ascii_case.h"

namespace keelnode {

FetchRoad roadFor(std::string_view address) {
  if (startsWithNoCase(address, "http://")) return FetchRoad::kPlain;
  if (startsWithNoCase(address, "https://")) return FetchRoad::kSecure;
  return FetchRoad::kNone;
}

std::string fetchAddress(std::string_view address, CharsetMode mode,
                         const FetchSettings& settings) {
  const FetchRoad road = roadFor(address);
  if (road == FetchRoad::kNone) return {};
  HttpClient client(settings.transfer);
  if (!client.initialise()) return {};
  std::string text;
  if (road == FetchRoad::kPlain) {
    FetchOptions options;
    options.timeouts = settings.plain;
    text = client.fetch(address, mode, options);
  } else {
    InetOptions options;
    options.timeLimit = settings.secure;
    std::string url(address);
    text = client.fetchInet(url, mode, options);
  }
  client.destroy();
  return text;
}

}  // namespace keelnode
