// The configuration program's update component: its settings (where the
// information file and the program's files lie, the version it reports, the
// messages it may show), the check that fetches the information file over HTTP,
// and its two events: the program was restarted after an update, and the update
// server could not be reached. Downloading and installing new files is not part
// of it. The HTTP transfer is a seam.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "other_config.h"

namespace quarn {

struct UpdateSettings {
  // "http://host[:port]" of the update and download servers; none is configured here.
  std::u16string UpdateServer;
  std::u16string DownloadServer;
  std::u16string InfoFilePath = u"/zykline/autoupgrade/";
  std::u16string InfoFileName = u"AutoUpgrader.inf";
  std::u16string DownloadPath = u"/download/zykline/";
  std::vector<std::u16string> Files = {u"quarnmon.exe", u"quarncfg.exe", u"vn.local",
                                       u"config.ini"};
  // Version control by number.
  std::u16string VersionNumber = u"1.0.0.5";
  std::u16string VersionDate = u"11/15/2013";
  // The messages the component shows.
  bool AskBeforeUpgrading = true;
  bool ConnLost = true;
  bool HostUnreachable = true;
  bool LostFile = true;
  bool NoInfoFile = true;
  bool NoUpdateAvailable = true;
  bool PasswordRequest = true;
  bool WizardShowFileLocation = false;
};

enum class FetchStatus {
  Ok,               // the server answered 200 with the body
  HostUnreachable,  // no connection to the host (name not found, refused, timed out)
  NotFound,         // the server answered, but not with the file
};

class HttpFetcher {
 public:
  virtual ~HttpFetcher() = default;
  // GET of `url`; the body (at most `maxBytes`) in `body` when Ok.
  virtual FetchStatus Get(std::u16string_view url, std::size_t maxBytes,
                          std::vector<std::uint8_t>& body) = 0;
};

enum class UpdateCheckResult {
  NoServer,           // no update server configured: nothing fetched
  HostUnreachable,    // reported through OnHostUnreachable
  NoInformationFile,  // the server has no information file
  InformationFetched,
};

class TAutoUpgrader {
 public:
  static constexpr std::size_t kMaxInfoFileSize = 64 * 1024;

  TAutoUpgrader(UpdateSettings settings, HttpFetcher& http);

  const UpdateSettings& Settings() const { return settings_; }
  // The information file's address: update server + path + name.
  std::u16string InfoFileUrl() const;

  // Fetches the information file. `JustCheckIsUpdateAvailable` is kept for the
  // callers; no download follows either way.
  UpdateCheckResult CheckUpdate(bool JustCheckIsUpdateAvailable);
  // The bytes of the last information file fetched.
  const std::vector<std::uint8_t>& InfoFile() const { return info_; }

  // Called once at start-up: raises OnAfterRestart when an update left its
  // instruction file in the program folder.
  void ProgramStarted(bool updateInstructionsPresent);

  std::function<void(TAutoUpgrader& Sender)> OnAfterRestart;
  std::function<void(TAutoUpgrader& Sender, const std::u16string& URL,
                     const std::u16string& Hostname)>
      OnHostUnreachable;

 private:
  UpdateSettings settings_;
  HttpFetcher& http_;
  std::vector<std::uint8_t> info_;
};

// The host part of an http(s) address ("" when there is none).
std::u16string HostOfUrl(std::u16string_view url);

// What the window does when the update server cannot be reached: opens the
// configured upgrade web site, when there is one, through `open`.
void OpenUpgradeWebSiteFallback(const TOtherConfig& config,
                                const std::function<bool(std::u16string_view)>& open);

}  // namespace quarn
