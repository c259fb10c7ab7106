#include "config_main_controller.h"

#include <algorithm>
#include <limits>

#include "text_field.h"
#include "window_messages.h"

namespace quarn {

namespace {

constexpr std::uint32_t kWmSysCommand = 0x0112;
constexpr std::uint64_t kScMinimize = 0xF020;
constexpr std::u16string_view kColorAction = u"COLOR";

std::int32_t SaturatedSum(std::int32_t a, std::int32_t b) {
  const std::int64_t sum = static_cast<std::int64_t>(a) + b;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

ConfigMainController::ConfigMainController(TDM& dm, const ConfigSeams& seams)
    : dm_(dm), seams_(seams) {}

std::u16string ConfigMainController::Tr(std::u16string_view text) const {
  return seams_.Translate ? seams_.Translate(text) : std::u16string(text);
}

// ---- window creation, pages, profile buttons ----

void ConfigMainController::FormCreate() {
  dm_.GetPersonalDocumentPresetMacroPath();  // creates the data folders
  FFinishedInitlizing = false;
  if (OnFillLanguageBox) OnFillLanguageBox();
  if (OnApplyLanguageAndBranding) OnApplyLanguageAndBranding();
  TakeApplyParamsFromProfile(MouseApplyParams, dm_.FCurrentProfileInfo);
  FProfilePath.clear();
  if (TDM::IsProfileIndexInRange(dm_.FProfileIndex))
    FProfilePath =
        ReadText(dm_.FProfileSettingGroup.ProfileSettingList[dm_.FProfileIndex].FilePath);
  RefreshAllControls();
  SettingsChanged = false;
  FPreSavedLedConfig = dm_.FCurrentProfileInfo.ConfigInfo.LEDConfig;
  FFinishedInitlizing = true;
  EditedDPILevel = 0;
  StartOrActivateMonitor();
  SelectPage(0);
}

void ConfigMainController::RefreshAllControls() {
  const TMouseProfileInfo& profile = dm_.FCurrentProfileInfo;
  // Button captions.
  if (OnRefreshButtonCaptions) OnRefreshButtonCaptions();
  // DPI page.
  DpiPage.Show(profile);
  EditedDPILevel = 1;
  // Pointer settings, and what the next apply hands to Windows.
  PointerPage.Show(profile);
  MouseApplyParams = ShownApplyParams(profile);
  // Profile buttons.
  for (int i = 0; i < PROFILE_COUNT; ++i) profileButtons_[i] = i == dm_.FProfileIndex;
  // Report rate, feedback, lighting.
  AdvancedPage.Show(profile);
  LightingPage.Show(profile);
  // The lighting shown is the lighting the mouse gets, a moment later.
  if (FFinishedInitlizing) ScheduleDeviceAction(kColorAction);
  if (OnRefreshed) OnRefreshed();
}

void ConfigMainController::SelectPage(int page) {
  if (page < 0 || page >= kPageCount) return;
  page_ = page;
  for (int i = 0; i < kPageCount; ++i) pageButtons_[i] = i == page;
}

void ConfigMainController::TakeProfileState() {
  TakeApplyParamsFromProfile(MouseApplyParams, dm_.FCurrentProfileInfo);
  FPreSavedLedConfig = dm_.FCurrentProfileInfo.ConfigInfo.LEDConfig;
}

void ConfigMainController::BtnProfileClick(int tag) {
  if (ending_ || !TDM::IsProfileIndexInRange(tag)) return;
  if (!dm_.SwitchToProfile(tag)) return;
  TakeProfileState();
  dm_.FAllProfileSettingInfo.CurrentProfileIndex = tag;
  RefreshAllControls();
}

void ConfigMainController::BtnCloseClick() {
  EndProgram();
}

void ConfigMainController::BSBTNMINClick() {
  seams_.Window.PostToSelf(kWmSysCommand, kScMinimize, 0);
}

void ConfigMainController::WindowActivated(bool minimised) {
  if (minimised) seams_.Window.Restore();
}

void ConfigMainController::StartOrActivateMonitor() {
  if (!seams_.Monitor.ActivateMonitor()) seams_.Monitor.StartMonitor();
}

ScreenRect ConfigMainController::GetOptionsShowRect() {
  std::int32_t x = kOptionsLeft;
  std::int32_t y = kOptionsTop;
  seams_.Window.ClientToScreen(x, y);
  return ScreenRect{x, y, SaturatedSum(x, kOptionsWidth), SaturatedSum(y, kOptionsHeight)};
}

std::u16string ConfigMainController::StripImage(StripEvent event, std::u16string_view buttonName) {
  switch (event) {
    case StripEvent::Enter:
    case StripEvent::Down:
      return std::u16string(buttonName) + u"-D.png";
    case StripEvent::Leave:
      return u"OKCANCELAPPLY-N.png";
    case StripEvent::Up:
      return u"OKCANCELAPPLY-O.png";
  }
  return {};
}

// ---- apply, OK, CANCEL, RESET ----

bool ConfigMainController::ApplySettings() {
  seams_.Stores.ResetFailures();
  dm_.SaveBackAllProfileSettingInfo();
  dm_.SaveBackToCurrentProfileInfo();
  dm_.SaveCurrentProfileInfoToRegistry();
  dm_.SaveCurrentProfileInfoToFile();
  dm_.SaveBackAllProfileInfoToFile();
  dm_.SaveBackAllProfileInfoToRegistry();
  dm_.SaveBackToProfileGroupSettingInfo();
  dm_.SaveProfileGroupSettingInfoToRegistry();
  const bool saved = seams_.Stores.FailedWrites() == 0;
  // Unsaved edits stay marked as changed.
  if (saved) SettingsChanged = false;
  // The job gets its own copy: later edits do not reach it.
  MouseSettingsWriter& writer = seams_.MouseSettings;
  seams_.Worker.Post(
      [params = MouseApplyParams, &writer] { ApplyWindowsMouseSettings(params, writer); });
  // The monitor reloads what is stored, whether or not everything was.
  seams_.Monitor.SendToMonitor(WM_SETTINGS_APPLIED, 0, 0);
  return saved;
}

void ConfigMainController::ShowSaveFailure() {
  ModalScope modal(*this);
  seams_.Dialogs.ShowNoteDialog(Tr(u"Warning"), Tr(u"The settings could not be saved."), u"", true,
                                GetOptionsShowRect());
}

void ConfigMainController::OnMainButtonClick(int tag) {
  if (ending_) return;
  switch (tag) {
    case kOk:
      if (ApplySettings())
        EndProgram();
      else
        ShowSaveFailure();  // the window stays, with the edits
      break;
    case kCancel:
      EndProgram();
      break;
    case kApply:
      if (!ApplySettings()) ShowSaveFailure();
      break;
    default:
      break;
  }
}

void ConfigMainController::BSBTNRESTOREDEFAULTSClick() {
  if (ending_) return;
  ModalScope modal(*this);
  const int answer = seams_.Dialogs.ShowNoteDialog(
      Tr(u"Reset All"), Tr(u"Are you sure want to reset all Profiles back to factory settings?"),
      u"", true, GetOptionsShowRect());
  if (ending_ || answer != 1) return;
  dm_.RestoreAllProfileInfoToDefault();
  FPreSavedLedConfig = dm_.FCurrentProfileInfo.ConfigInfo.LEDConfig;
  RefreshAllControls();
  SettingsChanged = true;
}

// ---- deferred device action ----

void ConfigMainController::ScheduleDeviceAction(std::u16string_view action) {
  FDoTimerAction = action;
  seams_.Timer.Stop();
  seams_.Timer.Start(kDeviceActionDelayMs);
}

void ConfigMainController::TimerDoActionTimer() {
  seams_.Timer.Stop();
  const bool color = FDoTimerAction == kColorAction;
  FDoTimerAction.clear();
  if (color) seams_.Device.WriteLedSettingsToDevice(dm_.FProfileIndex, dm_.FCurrentProfileInfo);
}

void ConfigMainController::FlushDeviceAction() {
  if (!FDoTimerAction.empty()) TimerDoActionTimer();
}

// ---- messages ----

void ConfigMainController::WMTerminateConfig() {
  if (IsModal()) seams_.Dialogs.CloseOpenDialogs();
  EndProgram();
}

void ConfigMainController::WMLanguageChanged(std::uint64_t) {
  if (ending_) return;
  if (OnApplyLanguageAndBranding) OnApplyLanguageAndBranding();
}

void ConfigMainController::WMReloadCurrentProfile() {
  if (ending_) return;
  if (IsModal()) {
    pendingReload_ = true;
    return;
  }
  seams_.Window.ReplyToSender();
  dm_.LoadCurrentProfileInfoFromRegistry();
  RefreshAllControls();
}

void ConfigMainController::WMProfileSwitched(std::uint64_t wParam) {
  // Compared before narrowing: 0x1'0000'0002 is not profile 2.
  if (ending_ || wParam >= static_cast<std::uint64_t>(PROFILE_COUNT)) return;
  const int index = static_cast<int>(wParam);
  if (IsModal()) {
    pendingSwitch_ = index;  // the latest one wins
    return;
  }
  SwitchFromMonitor(index);
}

void ConfigMainController::SwitchFromMonitor(int index) {
  if (index == dm_.FProfileIndex) return;
  if (!dm_.SwitchToProfile(index)) return;
  dm_.SaveBackAllProfileSettingInfo();
  // The monitor waits in its send; it goes on before the mouse is written.
  seams_.Window.ReplyToSender();
  TakeProfileState();
  RefreshAllControls();
  seams_.Device.WriteLedSettingsToDevice(dm_.FProfileIndex, dm_.FCurrentProfileInfo);
}

// ---- modal edits ----

void ConfigMainController::EndModal() {
  if (modalDepth_ > 0) --modalDepth_;
  if (modalDepth_ > 0 || ending_) return;
  if (pendingReload_) seams_.Window.PostToSelf(WM_RELOAD_CURRENT_PROFILE, 0, 0);
  if (pendingSwitch_ >= 0)
    seams_.Window.PostToSelf(WM_PROFILE_SWITCHED, static_cast<std::uint64_t>(pendingSwitch_), 0);
  pendingReload_ = false;
  pendingSwitch_ = -1;
}

// ---- the program's end ----

void ConfigMainController::EndProgram() {
  if (ending_) return;
  ending_ = true;
  FinishBeforeExit();
  seams_.Window.CloseWindow();
}

void ConfigMainController::FinishBeforeExit() {
  FlushDeviceAction();
  seams_.Worker.WaitIdle(kWorkerExitWait);
}

}  // namespace quarn
