#include "update_component.h"

#include <gtest/gtest.h>

#include <optional>

namespace quarn {
namespace {

class ScriptedHttp : public HttpFetcher {
 public:
  FetchStatus Get(std::u16string_view url, std::size_t maxBytes,
                  std::vector<std::uint8_t>& body) override {
    urls.emplace_back(url);
    limit = maxBytes;
    if (status == FetchStatus::Ok) body = answer;
    return status;
  }
  FetchStatus status = FetchStatus::Ok;
  std::vector<std::uint8_t> answer;
  std::vector<std::u16string> urls;
  std::size_t limit = 0;
};

struct Reported {
  std::u16string url, host;
};

TEST(UpdateComponent, TheCheckFetchesTheInformationFileAndReportsAnUnreachableHost) {
  struct Case {
    const char* why;
    std::u16string server;
    FetchStatus status;
    UpdateCheckResult result;
    std::optional<Reported> reported;
  } cases[] = {
      {"no server configured: nothing fetched", u"", FetchStatus::Ok, UpdateCheckResult::NoServer,
       std::nullopt},
      {"a server that is not http", u"file://C:/x", FetchStatus::Ok, UpdateCheckResult::NoServer,
       std::nullopt},
      {"the file is fetched", u"http://127.0.0.1:8080/", FetchStatus::Ok,
       UpdateCheckResult::InformationFetched, std::nullopt},
      {"the server has no such file", u"http://127.0.0.1:8080", FetchStatus::NotFound,
       UpdateCheckResult::NoInformationFile, std::nullopt},
      {"the host cannot be reached", u"http://updates.example.invalid:81",
       FetchStatus::HostUnreachable, UpdateCheckResult::HostUnreachable,
       Reported{u"http://updates.example.invalid:81/zykline/autoupgrade/AutoUpgrader.inf",
                u"updates.example.invalid"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    ScriptedHttp http;
    http.status = c.status;
    http.answer = {'[', 'x', ']'};
    UpdateSettings s;
    s.UpdateServer = c.server;
    TAutoUpgrader upgrader(s, http);
    std::optional<Reported> reported;
    upgrader.OnHostUnreachable = [&](TAutoUpgrader& sender, const std::u16string& url,
                                     const std::u16string& host) {
      EXPECT_EQ(&sender, &upgrader);
      reported = Reported{url, host};
    };
    EXPECT_EQ(upgrader.CheckUpdate(false), c.result);
    EXPECT_EQ(reported.has_value(), c.reported.has_value());
    if (reported && c.reported) {
      EXPECT_EQ(reported->url, c.reported->url);
      EXPECT_EQ(reported->host, c.reported->host);
    }
    if (c.result == UpdateCheckResult::NoServer) {
      EXPECT_TRUE(http.urls.empty());
    }
    if (c.result == UpdateCheckResult::InformationFetched) {
      EXPECT_EQ(http.urls, std::vector<std::u16string>{
                               u"http://127.0.0.1:8080/zykline/autoupgrade/AutoUpgrader.inf"});
      EXPECT_EQ(upgrader.InfoFile(), http.answer);
      EXPECT_EQ(http.limit, TAutoUpgrader::kMaxInfoFileSize);
    } else {
      EXPECT_TRUE(upgrader.InfoFile().empty());
    }
  }
}

TEST(UpdateComponent, SettingsNameTheProgramsFilesAndVersion) {
  ScriptedHttp http;
  TAutoUpgrader upgrader(UpdateSettings{}, http);
  const auto& s = upgrader.Settings();
  EXPECT_EQ(s.Files, (std::vector<std::u16string>{u"quarnmon.exe", u"quarncfg.exe", u"vn.local",
                                                  u"config.ini"}));
  EXPECT_EQ(s.VersionNumber, u"1.0.0.5");
  EXPECT_EQ(s.VersionDate, u"11/15/2013");
  EXPECT_EQ(s.DownloadPath, u"/download/zykline/");
  EXPECT_FALSE(s.WizardShowFileLocation);
}

TEST(UpdateComponent, AfterRestartIsRaisedOnlyWhenAnUpdateLeftItsInstructions) {
  ScriptedHttp http;
  TAutoUpgrader upgrader(UpdateSettings{}, http);
  int raised = 0;
  upgrader.OnAfterRestart = [&](TAutoUpgrader&) { ++raised; };
  upgrader.ProgramStarted(false);
  EXPECT_EQ(raised, 0);
  upgrader.ProgramStarted(true);
  EXPECT_EQ(raised, 1);
}

TEST(UpdateComponent, HostOfAnAddress) {
  struct Case {
    std::u16string url, host;
  } cases[] = {
      {u"http://a.example/x", u"a.example"},
      {u"https://user:pw@b.example:8443/", u"b.example"},
      {u"http://[::1]:81/x", u"[::1]"},
      {u"http://c.example?q=1", u"c.example"},
      {u"no address", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(HostOfUrl(c.url), c.host);
}

TEST(UpdateComponent, TheFallbackOpensTheConfiguredWebSiteOnly) {
  std::vector<std::u16string> opened;
  auto open = [&](std::u16string_view a) {
    opened.emplace_back(a);
    return true;
  };
  TOtherConfig config;
  OpenUpgradeWebSiteFallback(config, open);
  EXPECT_TRUE(opened.empty());
  config.UpgradeWebSite = u"https://example.invalid/update";
  OpenUpgradeWebSiteFallback(config, open);
  EXPECT_EQ(opened, std::vector<std::u16string>{u"https://example.invalid/update"});
}

}  // namespace
}  // namespace quarn
