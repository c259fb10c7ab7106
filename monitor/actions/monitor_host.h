// What the button-action dispatcher needs from the monitor's main window: the
// current profile, the profile switches, the configuration program, the
// notification sound, the Windows version, program starts, and the actions
// that scroll horizontally, drive Office or act on the system.
#pragma once

#include <string>

#include "emulated_input.h"
#include "profile_records.h"

namespace quarn {

class MonitorHost {
 public:
  virtual ~MonitorHost() = default;

  // The profile the monitor follows now (the data module's current profile)
  // and its index 0 to 4. Read each time a message is handled.
  virtual const TMouseProfileInfo& CurrentProfile() const = 0;
  virtual int CurrentProfileIndex() const = 0;

  // The tray menu's "Switch to next profile": next index (4 wraps to 0), check
  // mark, WM_PROFILE_SWITCHED to the configuration window. No sound.
  virtual void SwitchToNextProfile() = 0;
  // Profile `index` (0 to 4) becomes current: check mark on its tray item,
  // switch, WM_PROFILE_SWITCHED to the configuration window when it exists.
  virtual void SelectProfile(int index) = 0;
  // Brings the configuration window to the front, or starts quarncfg.exe.
  virtual void StartOrActivateConfig() = 0;
  // Plays "Notification.wav" from the program's folder without waiting.
  virtual void PlayNotificationSound() = 0;
  // True when the running Windows was classified as wvWin8.
  virtual bool IsWin8() const = 0;

  // Opens a program with the shell verb "open": no parameters, its own folder
  // as working folder, shown normally. Failures are ignored.
  virtual void OpenProgram(const std::u16string& path) = 0;
  // The same for a stored path, only when it names an existing file. The file
  // is looked for away from the thread that owns the hooks (a path on a slow
  // drive must not hold up the mouse).
  virtual void OpenExistingProgram(const std::u16string& path) = 0;

  // One small sideways scroll of the foreground application; key events go
  // through `run`, which lets go of them when the action is cut short.
  virtual void HorizontalScrollLeft(ActionRun& run) = 0;
  virtual void HorizontalScrollRight(ActionRun& run) = 0;
  // Office documents and system actions.
  virtual void ShutDownWindows() = 0;
  virtual void SuspendWindows() = 0;
  virtual void OpenMyComputer() = 0;
  virtual void RunMailClient() = 0;
  virtual void RunCalculator() = 0;
  virtual void NewWordDocument() = 0;
  virtual void NewExcelWorkbook() = 0;
};

}  // namespace quarn
