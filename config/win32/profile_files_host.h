// What the configuration window carries for profile files and updates, with
// the Win32 adapters in place: the profile menu's commands, the save and edit
// handlers, the work after an update's restart and the update check with its
// web-site fallback. The window constructs one with its handle and the data
// module and forwards its handlers here.
#pragma once

#include <memory>
#include <string>

#include "create_edit_profile_dialog.h"
#include "dialog_window.h"
#include "execute_file.h"
#include "profile_file_commands.h"
#include "update_component.h"
#include "win_file_dialogs.h"
#include "win_file_store.h"
#include "win_upgrade_files.h"
#include "winhttp_fetcher.h"

namespace quarn {

class ProfileFilesHost {
 public:
  // `files` is the file store the data module was built over.
  ProfileFilesHost(HWND window, TDM& dm, FileStore& files, std::u16string programFolder,
                   std::u16string profilePath, UpdateSettings update = {});

  // vnMenuEx3ItemsClick: true when every page must be shown again from the profile.
  bool ProfileMenuItemClick(int itemId);
  // BSBTNSAVEPROFILEClick.
  bool SaveProfileClick();
  // BSBTNEDITPROFILEClick: the dialog centred on `mainWindow`; its result.
  int EditProfileClick(const ui::ScreenRect& mainWindow);
  // At start-up, before the window shows: the work an update left, if any.
  UpgradeWorkResult ProgramStarted();
  // BSBTNCheckUpdateClick.
  UpdateCheckResult CheckUpdateClick();

  TAutoUpgrader& Upgrader() { return upgrader_; }

 private:
  HWND window_;
  TDM& dm_;
  std::u16string programFolder_;
  std::u16string profilePath_;
  WinFileDialogs dialogs_;
  WinMessageBoxes messages_;
  ProfileFileCommands commands_;
  WinUpgradeFileSystem upgradeFiles_;
  WinHiddenProgramRunner runner_;
  WinHttpFetcher http_;
  TAutoUpgrader upgrader_;
  UpgradeWorkResult lastWork_;
};

}  // namespace quarn
