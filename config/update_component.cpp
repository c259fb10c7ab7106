#include "update_component.h"

#include "web_address.h"

namespace quarn {

TAutoUpgrader::TAutoUpgrader(UpdateSettings settings, HttpFetcher& http)
    : settings_(std::move(settings)), http_(http) {}

std::u16string TAutoUpgrader::InfoFileUrl() const {
  std::u16string server = settings_.UpdateServer;
  while (!server.empty() && server.back() == u'/') server.pop_back();
  return server + settings_.InfoFilePath + settings_.InfoFileName;
}

UpdateCheckResult TAutoUpgrader::CheckUpdate(bool /*JustCheckIsUpdateAvailable*/) {
  info_.clear();
  const std::u16string url = InfoFileUrl();
  if (settings_.UpdateServer.empty() || !IsWebAddress(url)) return UpdateCheckResult::NoServer;
  std::vector<std::uint8_t> body;
  switch (http_.Get(url, kMaxInfoFileSize, body)) {
    case FetchStatus::HostUnreachable:
      if (OnHostUnreachable) OnHostUnreachable(*this, url, HostOfUrl(url));
      return UpdateCheckResult::HostUnreachable;
    case FetchStatus::NotFound:
      return UpdateCheckResult::NoInformationFile;
    case FetchStatus::Ok:
      break;
  }
  info_ = std::move(body);
  return UpdateCheckResult::InformationFetched;
}

void TAutoUpgrader::ProgramStarted(bool updateInstructionsPresent) {
  if (updateInstructionsPresent && OnAfterRestart) OnAfterRestart(*this);
}

std::u16string HostOfUrl(std::u16string_view url) {
  const std::size_t scheme = url.find(u"://");
  if (scheme == std::u16string_view::npos) return {};
  std::u16string_view rest = url.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of(u"/?#"));
  const std::size_t at = rest.rfind(u'@');
  if (at != std::u16string_view::npos) rest = rest.substr(at + 1);
  if (!rest.empty() && rest.front() == u'[')
    return std::u16string(rest.substr(0, rest.find(u']') + 1));
  return std::u16string(rest.substr(0, rest.find(u':')));
}

void OpenUpgradeWebSiteFallback(const TOtherConfig& config,
                                const std::function<bool(std::u16string_view)>& open) {
  if (config.UpgradeWebSite.empty() || !open) return;
  open(config.UpgradeWebSite);
}

}  // namespace quarn
