// The update check over WinHTTP against loopback only: a stand-in server on an
// ephemeral port of 127.0.0.1 that serves the information file (or answers
// 404), and a closed port, which is a host that cannot be reached.
#include <winsock2.h>
// after winsock2.h
#include <gtest/gtest.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <string>
#include <thread>

#include "update_component.h"
#include "wide.h"
#include "winhttp_fetcher.h"

namespace quarn {
namespace {

class Winsock {
 public:
  Winsock() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
  }
  ~Winsock() { WSACleanup(); }
};

// Listens on 127.0.0.1 and answers one request with `response`; records the request.
class StandInServer {
 public:
  explicit StandInServer(std::string response) : response_(std::move(response)) {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listener_, 1);
    int len = sizeof a;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] {
      SOCKET s = accept(listener_, nullptr, nullptr);
      if (s == INVALID_SOCKET) return;
      char buffer[4096];
      while (request_.find("\r\n\r\n") == std::string::npos) {
        const int n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request_.append(buffer, static_cast<std::size_t>(n));
      }
      send(s, response_.data(), static_cast<int>(response_.size()), 0);
      shutdown(s, SD_SEND);
      closesocket(s);
    });
  }
  ~StandInServer() {
    closesocket(listener_);
    if (thread_.joinable()) thread_.join();
  }
  int Port() const { return port_; }
  const std::string& Request() const { return request_; }

 private:
  std::string response_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  std::string request_;
};

// A loopback port nothing listens on: bound, then closed again.
int ClosedPort() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  int len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  closesocket(s);
  return ntohs(a.sin_port);
}

std::u16string Server(int port) {
  return u"http://127.0.0.1:" + FromWide(std::to_wstring(port));
}

TEST(UpdateCheckOverHttp, FetchesTheInformationFileFromTheServer) {
  Winsock ws;
  const std::string body = "[AutoUpgrader]\r\nVersion=1.0.0.6\r\n";
  StandInServer server("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                       std::to_string(body.size()) + "\r\n\r\n" + body);
  WinHttpFetcher http(5000);
  UpdateSettings s;
  s.UpdateServer = Server(server.Port());
  TAutoUpgrader upgrader(s, http);
  bool unreachable = false;
  upgrader.OnHostUnreachable = [&](TAutoUpgrader&, const std::u16string&, const std::u16string&) {
    unreachable = true;
  };
  EXPECT_EQ(upgrader.CheckUpdate(false), UpdateCheckResult::InformationFetched);
  EXPECT_EQ(std::string(upgrader.InfoFile().begin(), upgrader.InfoFile().end()), body);
  EXPECT_FALSE(unreachable);
  EXPECT_EQ(server.Request().rfind("GET /zykline/autoupgrade/AutoUpgrader.inf HTTP/1.1\r\n", 0), 0u)
      << server.Request();
}

TEST(UpdateCheckOverHttp, AServerWithoutTheFileIsNotAnUnreachableHost) {
  Winsock ws;
  StandInServer server("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  WinHttpFetcher http(5000);
  UpdateSettings s;
  s.UpdateServer = Server(server.Port());
  TAutoUpgrader upgrader(s, http);
  EXPECT_EQ(upgrader.CheckUpdate(false), UpdateCheckResult::NoInformationFile);
}

TEST(UpdateCheckOverHttp, AClosedPortIsReportedAsAnUnreachableHost) {
  Winsock ws;
  WinHttpFetcher http(5000);
  UpdateSettings s;
  s.UpdateServer = Server(ClosedPort());
  TAutoUpgrader upgrader(s, http);
  std::u16string reportedUrl, reportedHost;
  upgrader.OnHostUnreachable = [&](TAutoUpgrader&, const std::u16string& url,
                                   const std::u16string& host) {
    reportedUrl = url;
    reportedHost = host;
  };
  EXPECT_EQ(upgrader.CheckUpdate(false), UpdateCheckResult::HostUnreachable);
  EXPECT_EQ(reportedUrl, upgrader.InfoFileUrl());
  EXPECT_EQ(reportedHost, u"127.0.0.1");
}

TEST(UpdateCheckOverHttp, AnOversizedAnswerIsNotTaken) {
  Winsock ws;
  const std::string body(TAutoUpgrader::kMaxInfoFileSize + 10, 'x');
  StandInServer server("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                       "\r\n\r\n" + body);
  WinHttpFetcher http(5000);
  UpdateSettings s;
  s.UpdateServer = Server(server.Port());
  TAutoUpgrader upgrader(s, http);
  EXPECT_EQ(upgrader.CheckUpdate(false), UpdateCheckResult::NoInformationFile);
  EXPECT_TRUE(upgrader.InfoFile().empty());
}

}  // namespace
}  // namespace quarn
