// The logic of the configuration program's main window: the profile shown
// and its five profile buttons, the ordered refresh of everything the window
// shows, the apply sequence behind OK and APPLY, CANCEL, RESET, the changed
// flag, the deferred lighting write and the messages of the monitor. It owns
// no window: the window shell forwards its clicks, timer ticks and messages
// here and implements the seams it is given.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "config_seams.h"
#include "dm.h"
#include "mouse_apply_params.h"
#include "page_models.h"
#include "write_checked_stores.h"

namespace quarn {

struct ConfigSeams {
  MonitorLink& Monitor;
  MouseSettingsWriter& MouseSettings;
  SettingsWorker& Worker;
  LightingDevice& Device;
  ActionTimer& Timer;
  ConfigDialogs& Dialogs;
  ConfigWindow& Window;
  // Counts the failed writes of the stores `TDM` was built over.
  WriteCheckedStores& Stores;
  // The program's translate function; the text itself when not set.
  std::function<std::u16string(std::u16string_view)> Translate;
};

// The mouse-button pictures of the OK / CANCEL / APPLY strip.
enum class StripEvent { Enter, Leave, Down, Up };

class ConfigMainController {
 public:
  static constexpr int kPageCount = 5;
  static constexpr std::uint32_t kDeviceActionDelayMs = 200;
  static constexpr std::chrono::milliseconds kWorkerExitWait{3000};
  // The options area in the window's client area, where dialogs and menus appear.
  static constexpr std::int32_t kOptionsLeft = 660;
  static constexpr std::int32_t kOptionsTop = 119;
  static constexpr std::int32_t kOptionsWidth = 324;
  static constexpr std::int32_t kOptionsHeight = 471;
  // Tags of the OK, CANCEL and APPLY buttons.
  enum MainButton { kOk = 0, kCancel = 1, kApply = 2 };

  ConfigMainController(TDM& dm, const ConfigSeams& seams);
  ConfigMainController(const ConfigMainController&) = delete;
  ConfigMainController& operator=(const ConfigMainController&) = delete;

  // ---- window creation, pages, profile buttons ----
  // The creation sequence of the window, ending with the monitor started or
  // brought forward. Writes nothing to the stores or the mouse.
  void FormCreate();
  // Shows every control from the current profile, in a fixed order. Only
  // displays; after creation it schedules the deferred lighting write.
  void RefreshAllControls();
  void SelectPage(int page);
  void BtnProfileClick(int tag);
  void BtnCloseClick();
  void BSBTNMINClick();
  void DeviceArrival() { applyEnabled_ = true; }
  // The window was activated; a minimised one is restored.
  void WindowActivated(bool minimised);
  void StartOrActivateMonitor();
  ScreenRect GetOptionsShowRect();
  // Picture of the OK / CANCEL / APPLY strip for an event on `buttonName`.
  static std::u16string StripImage(StripEvent event, std::u16string_view buttonName);

  // ---- apply, OK, CANCEL, RESET ----
  // Saves everything, hands the Windows pointer settings to the worker and
  // tells the monitor. False when any write failed (the rest still ran).
  bool ApplySettings();
  void OnMainButtonClick(int tag);
  void BSBTNRESTOREDEFAULTSClick();
  void MarkSettingsChanged() { SettingsChanged = true; }

  // ---- deferred device action ----
  void ScheduleDeviceAction(std::u16string_view action);
  void TimerDoActionTimer();

  // ---- messages ----
  void WMTerminateConfig();
  void WMLanguageChanged(std::uint64_t wParam);
  void WMReloadCurrentProfile();
  void WMProfileSwitched(std::uint64_t wParam);

  // ---- modal edits ----
  // While a dialog, the note or a menu is open, a profile switch or reload
  // waits; when the last one closes, the latest waiting one is posted again.
  void BeginModal() { ++modalDepth_; }
  void EndModal();
  bool IsModal() const { return modalDepth_ > 0; }
  class ModalScope {
   public:
    explicit ModalScope(ConfigMainController& c) : c_(c) { c_.BeginModal(); }
    ~ModalScope() { c_.EndModal(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

   private:
    ConfigMainController& c_;
  };

  // ---- the program's end ----
  // Runs a pending lighting write and waits a bounded time for the worker.
  void FinishBeforeExit();
  bool Ending() const { return ending_; }

  // Hooks for the parts of the window built elsewhere (button captions,
  // language and branding): called where the window's sequences call them.
  std::function<void()> OnRefreshButtonCaptions;
  std::function<void()> OnFillLanguageBox;
  std::function<void()> OnApplyLanguageAndBranding;
  // After every refresh of all controls, for the window to repaint.
  std::function<void()> OnRefreshed;

  // ---- what the window shows and the state it keeps ----
  bool SettingsChanged = false;
  TMouseApplyParams MouseApplyParams{};
  TLEDCONFIG FPreSavedLedConfig{};
  std::u16string FProfilePath;
  bool FFinishedInitlizing = false;
  int EditedDPILevel = 0;
  DpiPageModel DpiPage;
  PointerPageModel PointerPage;
  AdvancedPageModel AdvancedPage;
  LightingPageModel LightingPage;

  const std::array<bool, PROFILE_COUNT>& ProfileButtonsPressed() const { return profileButtons_; }
  int PageIndex() const { return page_; }
  const std::array<bool, kPageCount>& PageButtonsPressed() const { return pageButtons_; }
  bool ApplyEnabled() const { return applyEnabled_; }
  const std::u16string& PendingDeviceAction() const { return FDoTimerAction; }

 private:
  std::u16string Tr(std::u16string_view text) const;
  void TakeProfileState();
  void ShowSaveFailure();
  void EndProgram();
  void FlushDeviceAction();
  void SwitchFromMonitor(int index);

  TDM& dm_;
  ConfigSeams seams_;
  std::array<bool, PROFILE_COUNT> profileButtons_{};
  std::array<bool, kPageCount> pageButtons_{};
  int page_ = 0;
  bool applyEnabled_ = true;
  std::u16string FDoTimerAction;
  int modalDepth_ = 0;
  int pendingSwitch_ = -1;
  bool pendingReload_ = false;
  bool ending_ = false;
};

}  // namespace quarn
