#include "profile_files_host.h"

#include <windows.h>

namespace quarn {

ProfileFilesHost::ProfileFilesHost(HWND window, TDM& dm, FileStore& files,
                                   std::u16string programFolder, std::u16string profilePath,
                                   UpdateSettings update)
    : window_(window),
      dm_(dm),
      programFolder_(std::move(programFolder)),
      profilePath_(std::move(profilePath)),
      dialogs_(window),
      messages_(window),
      commands_(dm, files, dialogs_, messages_),
      upgrader_(std::move(update), http_) {
  upgrader_.OnAfterRestart = [this](TAutoUpgrader&) {
    UpgradeAfterRestart work(upgradeFiles_, runner_, UpgradeLogTime);
    lastWork_ = work.Run(programFolder_);
  };
  upgrader_.OnHostUnreachable = [this](TAutoUpgrader&, const std::u16string&,
                                       const std::u16string&) {
    OpenUpgradeWebSiteFallback(dm_.FOtherConfig,
                               [this](std::u16string_view a) { return OpenWebPage(window_, a); });
  };
}

bool ProfileFilesHost::ProfileMenuItemClick(int itemId) {
  return commands_.RunMenuItem(itemId, programFolder_, profilePath_);
}

bool ProfileFilesHost::SaveProfileClick() {
  return commands_.SaveProfileFileAs(profilePath_);
}

int ProfileFilesHost::EditProfileClick(const ui::ScreenRect& mainWindow) {
  dialogs::WindowDialogRunner runner(window_);
  return EditCurrentProfile(dm_, mainWindow, runner, dialogs_);
}

UpgradeWorkResult ProfileFilesHost::ProgramStarted() {
  lastWork_ = {};
  const std::u16string zip =
      WithTrailingBackslash(programFolder_) + std::u16string(kUpgradeZipFile);
  upgrader_.ProgramStarted(!programFolder_.empty() && upgradeFiles_.FileExists(zip));
  return lastWork_;
}

UpdateCheckResult ProfileFilesHost::CheckUpdateClick() {
  return upgrader_.CheckUpdate(false);
}

}  // namespace quarn
