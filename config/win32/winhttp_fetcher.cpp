#include "winhttp_fetcher.h"

#include <windows.h>
// after windows.h
#include <winhttp.h>

#include <memory>

#include "wide.h"

namespace quarn {
namespace {

struct InternetHandleCloser {
  void operator()(void* h) const {
    if (h != nullptr) WinHttpCloseHandle(h);
  }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

bool IsUnreachable(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
    case ERROR_WINHTTP_TIMEOUT:
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return true;
    default:
      return false;
  }
}

}  // namespace

FetchStatus WinHttpFetcher::Get(std::u16string_view url, std::size_t maxBytes,
                                std::vector<std::uint8_t>& body) {
  body.clear();
  const std::wstring u = ToWide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  wchar_t host[256] = {}, path[2048] = {};
  parts.lpszHostName = host;
  parts.dwHostNameLength = static_cast<DWORD>(std::size(host));
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = static_cast<DWORD>(std::size(path));
  parts.dwExtraInfoLength = 1;
  if (!WinHttpCrackUrl(u.c_str(), static_cast<DWORD>(u.size()), 0, &parts))
    return FetchStatus::HostUnreachable;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
    return FetchStatus::HostUnreachable;
  std::wstring object(path, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo != nullptr) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (object.empty()) object = L"/";

  InternetHandle session(WinHttpOpen(L"quarncfg", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return FetchStatus::HostUnreachable;
  WinHttpSetTimeouts(session.get(), timeoutMs_, timeoutMs_, timeoutMs_, timeoutMs_);
  InternetHandle connection(WinHttpConnect(session.get(), host, parts.nPort, 0));
  if (!connection) return FetchStatus::HostUnreachable;
  InternetHandle request(
      WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                         WINHTTP_DEFAULT_ACCEPT_TYPES,
                         parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return FetchStatus::HostUnreachable;
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return IsUnreachable(GetLastError()) ? FetchStatus::HostUnreachable : FetchStatus::NotFound;
  }
  DWORD status = 0, size = sizeof status;
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) ||
      status != 200)
    return FetchStatus::NotFound;
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available)) {
      body.clear();
      return IsUnreachable(GetLastError()) ? FetchStatus::HostUnreachable : FetchStatus::NotFound;
    }
    if (available == 0) break;
    if (body.size() + available > maxBytes) {
      body.clear();
      return FetchStatus::NotFound;  // not an information file of ours
    }
    const std::size_t old = body.size();
    body.resize(old + available);
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), body.data() + old, available, &read)) {
      body.clear();
      return FetchStatus::NotFound;
    }
    body.resize(old + read);
  }
  return FetchStatus::Ok;
}

}  // namespace quarn
