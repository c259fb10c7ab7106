// TQUARNCfgMain, the configuration program's main window: the scene of the main face in
// a borderless window of class "TQUARNCfgMain" (how the monitor finds it), the window
// logic behind it, the platform seams that logic needs (the window itself, the
// lighting timer, the note dialog, the monitor, the Windows mouse settings, the
// settings worker and the mouse's lighting), its language and branding, and its
// profile-file and update commands. The button-assignment page and its function
// menu sit on the face.
#pragma once

// The toolkit's headers first: they include <windows.h> their way.
#include "scene_window.h"
// clang-format off
#include <memory>
#include <string>

#include "assign_page.h"
#include "config_main_controller.h"
#include "function_assignment.h"
#include "menu/vn_menu_ex.h"
#include "win_function_dialogs.h"
#include "win_menu_host.h"
#include "gdiplus_picture_decoder.h"
#include "device_lighting.h"
#include "image_data_base.h"
#include "language_branding.h"
#include "main_window_scene.h"
#include "profile_files_host.h"
#include "serial_worker.h"
#include "vn_language.h"
#include "win_file_store.h"
#include "win_hid_transport.h"
#include "win_locale_source.h"
#include "win_monitor_link.h"
#include "win_action_timer.h"
#include "win_mouse_settings.h"
// clang-format on

class TQUARNCfgMain final : public quarn::ConfigWindow, public quarn::ConfigDialogs {
 public:
  // Creates the window, runs the work an update left (if any), then its creation sequence
  // (the stored language applied, the window shows, the monitor is started or brought
  // forward). Null when the window could not be made.
  static std::unique_ptr<TQUARNCfgMain> Create(TDM& dm, quarn::WriteCheckedStores& stores);
  ~TQUARNCfgMain() override;

  HWND Handle() const { return window_ ? window_->Handle() : nullptr; }
  quarn::ConfigMainController& Controller() { return *controller_; }
  // The face: its areas and controls, where pages built elsewhere attach.
  quarn::MainWindowScene& Face() { return *face_; }
  quarn::TImageDataBase& Images() { return *FIMGDB; }
  TvnLanguage& Language() { return *vnLanguage1; }
  quarn::LanguageBranding& Branding() { return *branding_; }
  quarn::ProfileFilesHost& ProfileFiles() { return *profileFiles_; }
  // Runs before the window goes: the pending lighting write, the settings worker.
  void FormDestroy();

  // ---- ConfigWindow ----
  void CloseWindow() override;
  void PostToSelf(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override;
  void ReplyToSender() override;
  void Restore() override;
  void ClientToScreen(std::int32_t& x, std::int32_t& y) override;
  // ---- profile files and updates (no control of the face calls them yet) ----
  // vnMenuEx3ItemsClick: the profile menu's item `itemId`; every control shown again
  // from the profile when the command changed it.
  void ProfileMenuItemClick(int itemId);
  void BSBTNSAVEPROFILEClick();
  void BSBTNEDITPROFILEClick();
  void BSBTNCheckUpdateClick();
  // ---- ConfigDialogs ----
  int ShowNoteDialog(const std::u16string& title, const std::u16string& text,
                     const std::u16string& text1, bool showWarning,
                     const quarn::ScreenRect& centreIn) override;
  void CloseOpenDialogs() override;

 private:
  TQUARNCfgMain(TDM& dm, quarn::WriteCheckedStores& stores);
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  quarn::ui::ScreenRect WindowRect() const;

  TDM& dm_;
  std::u16string folder_;  // the program's folder, with a trailing backslash
  quarn::WinFileStore pictureFiles_;
  quarn::ui::GdiplusPictureDecoder decoder_;
  std::unique_ptr<quarn::TImageDataBase> FIMGDB;
  quarn::WinLocaleSource locales_;
  std::unique_ptr<TvnLanguage> vnLanguage1;
  quarn::WinMonitorLink monitor_;
  quarn::WinMouseSettingsWriter mouseSettings_;
  quarn::SerialWorker worker_;
  quarn::WinHidTransport hidTransport_;
  std::unique_ptr<TvnHIDData> vnHIDData1;
  std::unique_ptr<quarn::HidLightingDevice> lighting_;
  std::unique_ptr<quarn::WinActionTimer> timer_;
  std::unique_ptr<quarn::MainWindowScene> face_;
  std::unique_ptr<quarn::ui::SceneWindow> window_;
  std::unique_ptr<quarn::ConfigMainController> controller_;
  std::unique_ptr<quarn::LanguageBranding> branding_;
  std::unique_ptr<quarn::ProfileFilesHost> profileFiles_;
  // ---- the button-assignment page: the function menu's pop-ups, the function
  // dialogs, the assignment and the page (they go before the controller) ----
  quarn::menu::WinMenuHost menuHost_;
  std::unique_ptr<quarn::menu::TvnMenuEx> vnMenuEx1;
  std::unique_ptr<quarn::dialogs::WinFunctionDialogs> fnDialogs_;
  std::unique_ptr<quarn::FunctionAssignment> assignment_;
  std::unique_ptr<quarn::pages::AssignPage> assignPage_;
  void CreateAssignPage(const quarn::TranslateFn& translate);
  void DestroyAssignPage();
  quarn::ui::Scene* openDialog_ = nullptr;
  bool destroyed_ = false;
};
