// TQUARNMonMain, the monitor's only window: hidden for the whole run, it owns
// the hook, language and tray components, receives the configuration program's
// messages and the monitor's own button messages, and shows the about face
// when asked.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "button_action_dispatcher.h"
#include "com_apartment.h"
#include "com_automation.h"
#include "horizontal_scroll.h"
#include "message_waiter.h"
#include "monitor_host.h"
#include "mouse_filters.h"
#include "send_input_sink.h"
#include "system_actions.h"
#include "tray_icon.h"
#include "vn_hook.h"
#include "vn_language.h"
#include "win_file_store.h"
#include "win_hook_platform.h"
#include "win_locale_source.h"
#include "win_scroll_windows.h"
#include "win_std_command.h"
#include "win_system_platform.h"
#include "windows_version.h"

class TQUARNMonMain final : public quarn::MonitorHost {
 public:
  // Creates the hidden window and runs FormCreate; null when the window cannot be made.
  static std::unique_ptr<TQUARNMonMain> Create(HINSTANCE instance);
  ~TQUARNMonMain();
  TQUARNMonMain(const TQUARNMonMain&) = delete;
  TQUARNMonMain& operator=(const TQUARNMonMain&) = delete;

  HWND Handle() const { return FHandle; }
  TWindowsVersion WindowsVersion() const { return FWindowsVersion; }

  void LoadIncludeHidDeviceList();
  void ApplyLanguage();
  void SetupMouseHook();
  void UpdateProfileMenuCheck();
  void CheckProfileMenuItem(int Index);
  void ProcessMessageAndSleep10ms() { ProcessMessagesAndSleep(10); }
  void ProcessMessageAndSleep20ms() { ProcessMessagesAndSleep(20); }
  void ProcessMessageAndSleep50ms() { ProcessMessagesAndSleep(50); }

  // Menu and tray handlers.
  void TrayIconDblClick() { StartOrActivateConfig(); }
  void SubmenuConfigClick() { StartOrActivateConfig(); }
  void SubmenuProfile5Click(int Tag);
  void SubmenuSwitchtonextprofileClick();
  void SubmenuExitClick();
  void SubmenuAboutClick();
  void ImageMainClick() { ShowWindow(FHandle, SW_HIDE); }
  void BTNOKClick() { ShowWindow(FHandle, SW_HIDE); }

  // Messages of the configuration program.
  void WMSettingsApplied();
  void WMLanguageChanged();

  // Switches the current profile, moves the check mark, rebuilds the button
  // filters for the new profile and tells the configuration window.
  void SwitchProfileAndNotify(int Index);

  // What the button actions need from the monitor.
  const TMouseProfileInfo& CurrentProfile() const override;
  int CurrentProfileIndex() const override;
  void SwitchToNextProfile() override { SubmenuSwitchtonextprofileClick(); }
  void SelectProfile(int index) override { SwitchProfileAndNotify(index); }
  void StartOrActivateConfig() override;
  void PlayNotificationSound() override;
  bool IsWin8() const override { return FWindowsVersion == wvWin8; }
  void OpenProgram(const std::u16string& path) override;
  void OpenExistingProgram(const std::u16string& path) override;
  void HorizontalScrollLeft(quarn::ActionRun& run) override;
  void HorizontalScrollRight(quarn::ActionRun& run) override;
  void ShutDownWindows() override { FSystemActions->ShutDownWindows(); }
  void SuspendWindows() override { FSystemActions->SuspendWindows(); }
  void OpenMyComputer() override { FSystemActions->OpenMyComputer(); }
  void RunMailClient() override { FSystemActions->RunMailClient(); }
  void RunCalculator() override { FSystemActions->RunCalculator(); }
  void NewWordDocument() override { FSystemActions->NewWordDocument(); }
  void NewExcelWorkbook() override { FSystemActions->NewExcelWorkbook(); }

 private:
  explicit TQUARNMonMain(HINSTANCE instance);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void FormCreate();
  void FormDestroy();
  void BuildMenu();
  void ShowTrayMenu();
  void Paint();
  void ProcessMessagesAndSleep(std::uint32_t ms);
  // After a reload of the profiles: filters rebuilt, check mark moved.
  void ProfilesReloaded();
  // WM_CLOSE: hides the about face when it is shown, else ends as Exit does.
  void FormCloseQuery();
  HWND ConfigWindow() const;

  // First member: the apartment outlives every automation object below.
  quarn::ComApartment FComApartment;
  HINSTANCE FInstance;
  HWND FHandle = nullptr;
  HMENU MyPopupMenu = nullptr;
  HICON FIcon = nullptr;
  HICON FSmallIcon = nullptr;
  std::unique_ptr<quarn::TrayIcon> TrayIcon1;
  quarn::WinHookPlatform FHookPlatform;
  std::unique_ptr<TvnHook> vnHook1;
  quarn::MouseButtonGate FButtonGate;
  quarn::WinFileStore FLanguageFiles;
  quarn::WinLocaleSource FLocales;
  std::unique_ptr<TvnLanguage> vnLanguage1;
  quarn::SendInputSink FInputSink;
  quarn::MessageWaiter FWaiter;
  std::unique_ptr<ButtonActionDispatcher> FDispatcher;
  quarn::WinScrollWindows FScrollWindows;
  quarn::ComAutomation FAutomation;
  std::unique_ptr<quarn::WinSystemPlatform> FSystemPlatform;
  std::unique_ptr<quarn::HorizontalScroller> FScroller;
  std::unique_ptr<quarn::SystemActions> FSystemActions;
  // Driver support: device lists, notifier and channel; nothing installs here.
  std::unique_ptr<quarn::WinSTDCommand> vnSTDCommand1;
  std::vector<std::u16string> FIncludeHidDeviceList;
  TWindowsVersion FWindowsVersion = wvUnknown;
  std::u16string FApplicationTitle;
  std::wstring FMenuCaptions[10];
  bool FDestroyed = false;
  bool FInPause = false;  // inside ProcessMessagesAndSleep
  bool FExiting = false;  // Exit chosen: the message loop is ending
};
