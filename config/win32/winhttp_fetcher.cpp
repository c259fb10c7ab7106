#include "winhttp_fetcher.h"

#include <windows.h>
// after windows.h
#include <winhttp.h>

#include <memory>

#include "late_bound.h"
#include "wide.h"

namespace quarn {
namespace {

// The HTTP library, bound when an update check first runs rather than imported: its
// load is a cost of every start of the program, and most starts check nothing.
struct HttpApi {
  decltype(&::WinHttpCloseHandle) WinHttpCloseHandle = nullptr;
  decltype(&::WinHttpConnect) WinHttpConnect = nullptr;
  decltype(&::WinHttpCrackUrl) WinHttpCrackUrl = nullptr;
  decltype(&::WinHttpOpen) WinHttpOpen = nullptr;
  decltype(&::WinHttpOpenRequest) WinHttpOpenRequest = nullptr;
  decltype(&::WinHttpQueryDataAvailable) WinHttpQueryDataAvailable = nullptr;
  decltype(&::WinHttpQueryHeaders) WinHttpQueryHeaders = nullptr;
  decltype(&::WinHttpReadData) WinHttpReadData = nullptr;
  decltype(&::WinHttpReceiveResponse) WinHttpReceiveResponse = nullptr;
  decltype(&::WinHttpSendRequest) WinHttpSendRequest = nullptr;
  decltype(&::WinHttpSetTimeouts) WinHttpSetTimeouts = nullptr;
  bool ready = false;
};

const HttpApi& Http() {
  static const HttpApi loaded = [] {
    HttpApi api;
    HMODULE module = LoadLibraryW(L"winhttp.dll");
    api.WinHttpCloseHandle =
        BindExport<decltype(api.WinHttpCloseHandle)>(module, "WinHttpCloseHandle");
    api.WinHttpConnect = BindExport<decltype(api.WinHttpConnect)>(module, "WinHttpConnect");
    api.WinHttpCrackUrl = BindExport<decltype(api.WinHttpCrackUrl)>(module, "WinHttpCrackUrl");
    api.WinHttpOpen = BindExport<decltype(api.WinHttpOpen)>(module, "WinHttpOpen");
    api.WinHttpOpenRequest =
        BindExport<decltype(api.WinHttpOpenRequest)>(module, "WinHttpOpenRequest");
    api.WinHttpQueryDataAvailable =
        BindExport<decltype(api.WinHttpQueryDataAvailable)>(module, "WinHttpQueryDataAvailable");
    api.WinHttpQueryHeaders =
        BindExport<decltype(api.WinHttpQueryHeaders)>(module, "WinHttpQueryHeaders");
    api.WinHttpReadData = BindExport<decltype(api.WinHttpReadData)>(module, "WinHttpReadData");
    api.WinHttpReceiveResponse =
        BindExport<decltype(api.WinHttpReceiveResponse)>(module, "WinHttpReceiveResponse");
    api.WinHttpSendRequest =
        BindExport<decltype(api.WinHttpSendRequest)>(module, "WinHttpSendRequest");
    api.WinHttpSetTimeouts =
        BindExport<decltype(api.WinHttpSetTimeouts)>(module, "WinHttpSetTimeouts");
    api.ready = api.WinHttpCloseHandle && api.WinHttpConnect && api.WinHttpCrackUrl &&
                api.WinHttpOpen && api.WinHttpOpenRequest && api.WinHttpQueryDataAvailable &&
                api.WinHttpQueryHeaders && api.WinHttpReadData && api.WinHttpReceiveResponse &&
                api.WinHttpSendRequest && api.WinHttpSetTimeouts;
    return api;
  }();
  return loaded;
}

struct InternetHandleCloser {
  void operator()(void* h) const {
    if (h != nullptr) Http().WinHttpCloseHandle(h);
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
  if (!Http().ready) return FetchStatus::HostUnreachable;
  const std::wstring u = ToWide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  wchar_t host[256] = {}, path[2048] = {};
  parts.lpszHostName = host;
  parts.dwHostNameLength = static_cast<DWORD>(std::size(host));
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = static_cast<DWORD>(std::size(path));
  parts.dwExtraInfoLength = 1;
  if (!Http().WinHttpCrackUrl(u.c_str(), static_cast<DWORD>(u.size()), 0, &parts))
    return FetchStatus::HostUnreachable;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
    return FetchStatus::HostUnreachable;
  std::wstring object(path, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo != nullptr) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (object.empty()) object = L"/";

  InternetHandle session(Http().WinHttpOpen(L"quarncfg", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                            WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return FetchStatus::HostUnreachable;
  Http().WinHttpSetTimeouts(session.get(), timeoutMs_, timeoutMs_, timeoutMs_, timeoutMs_);
  InternetHandle connection(Http().WinHttpConnect(session.get(), host, parts.nPort, 0));
  if (!connection) return FetchStatus::HostUnreachable;
  InternetHandle request(
      Http().WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr,
                                WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return FetchStatus::HostUnreachable;
  if (!Http().WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                 WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !Http().WinHttpReceiveResponse(request.get(), nullptr)) {
    return IsUnreachable(GetLastError()) ? FetchStatus::HostUnreachable : FetchStatus::NotFound;
  }
  DWORD status = 0, size = sizeof status;
  if (!Http().WinHttpQueryHeaders(
          request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
          WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) ||
      status != 200)
    return FetchStatus::NotFound;
  for (;;) {
    DWORD available = 0;
    if (!Http().WinHttpQueryDataAvailable(request.get(), &available)) {
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
    if (!Http().WinHttpReadData(request.get(), body.data() + old, available, &read)) {
      body.clear();
      return FetchStatus::NotFound;
    }
    body.resize(old + read);
  }
  return FetchStatus::Ok;
}

}  // namespace quarn
