// HTTP GET over WinHTTP for the update component: a host that cannot be
// reached is told apart from a server that has no such file.
#pragma once

#include "update_component.h"

namespace quarn {

class WinHttpFetcher final : public HttpFetcher {
 public:
  // Time-outs of name resolution, connection, sending and receiving.
  explicit WinHttpFetcher(int timeoutMs = 10000) : timeoutMs_(timeoutMs) {}
  FetchStatus Get(std::u16string_view url, std::size_t maxBytes,
                  std::vector<std::uint8_t>& body) override;

 private:
  int timeoutMs_;
};

}  // namespace quarn
