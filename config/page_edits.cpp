#include "page_edits.h"

#include <algorithm>

#include "dpi_helpers.h"

namespace quarn {

namespace {

constexpr std::u16string_view kColorAction = u"COLOR";

bool IsDpiLevel(int level) {
  return level >= 0 && level < kDpiLevelCount;
}

template <typename T>
bool InRange(T value, T low, T high) {
  return value >= low && value <= high;
}

std::uint8_t PercentToComponent(std::int32_t percent) {
  return static_cast<std::uint8_t>(percent * 255 / 100);
}

}  // namespace

// ---- DPI page ----

void PageEditor::ShowDpiKeepingHighlight() {
  const int highlighted = window_.DpiPage.HighlightedLevel;
  window_.DpiPage.Show(dm_.FCurrentProfileInfo);
  window_.DpiPage.HighlightedLevel = highlighted;
}

EditResult PageEditor::SetDpiLevelEnabled(int level, bool enabled) {
  if (!Ready()) return EditResult::Ignored;
  if (!IsDpiLevel(level)) return EditResult::Refused;
  TMOUSECONFIGINFO& c = Config();
  if (enabled) {
    c.CPIState[level].Enabled = 1;
  } else {
    bool other = false;
    for (int i = 0; i < kDpiLevelCount; ++i)
      if (i != level && c.CPIState[i].Enabled != 0) other = true;
    if (!other) return EditResult::Refused;  // the last enabled level stays on
    c.CPIState[level].Enabled = 0;
  }
  for (int i = 0; i < kDpiLevelCount; ++i)
    if (c.CPIState[i].Enabled == 1) {
      c.CurrentCPIIndex = i;
      break;
    }
  ShowDpiKeepingHighlight();
  c.CPILevel = kDpiLevelCount;
  dm_.SaveBackToCurrentProfileInfo();
  window_.SettingsChanged = true;
  return EditResult::Done;
}

EditResult PageEditor::SetDpiLinked(int level, bool linked) {
  if (window_.Ending()) return EditResult::Ignored;
  if (!IsDpiLevel(level)) return EditResult::Refused;
  Config().UseDiffentXY[level] = linked ? 0 : 1;
  dm_.SaveBackToCurrentProfileInfo();
  window_.DpiPage.Levels[static_cast<std::size_t>(level)].Linked = linked;
  window_.SettingsChanged = true;
  return EditResult::Done;
}

EditResult PageEditor::SetDpiLevelValue(int level, DpiAxis axis, std::int32_t value) {
  if (!Ready()) return EditResult::Ignored;
  if (!IsDpiLevel(level) || !InRange(value, kMinDpiValue, kMaxDpiValue)) return EditResult::Refused;
  window_.EditedDPILevel = level;
  TMOUSECONFIGINFO& c = Config();
  TCPISTATE& s = c.CPIState[level];
  const auto v = static_cast<std::uint16_t>(value);
  if (c.UseDiffentXY[level] == 0) s.X = s.Y = v;
  if (axis == DpiAxis::X)
    s.X = v;
  else
    s.Y = v;
  TCPISTATE& hw = c.HWCPIState[level];
  hw.X = static_cast<std::uint16_t>(GetNearestHWCPI(GetMaxValue(s.X, s.Y)));
  hw.Y = hw.X;
  hw.Enabled = s.Enabled;
  dm_.SaveBackToCurrentProfileInfo();
  ShowDpiKeepingHighlight();
  window_.SettingsChanged = true;
  return EditResult::Done;
}

EditResult PageEditor::SelectDpiLevel(int level) {
  if (window_.Ending()) return EditResult::Ignored;
  if (!IsDpiLevel(level)) return EditResult::Refused;
  window_.EditedDPILevel = level;
  window_.DpiPage.HighlightedLevel = level;
  return EditResult::Done;
}

// ---- advanced page ----

EditResult PageEditor::SetReportRate(std::int32_t rate) {
  if (!Ready()) return EditResult::Ignored;
  if (rate != 125 && rate != 250 && rate != 500 && rate != 1000) return EditResult::Refused;
  Config().ReportRate = static_cast<std::uint16_t>(rate);
  dm_.SaveBackToCurrentProfileInfo();
  window_.AdvancedPage.Show(dm_.FCurrentProfileInfo);
  window_.SettingsChanged = true;
  return EditResult::Done;
}

void PageEditor::StoreScrollChoice() {
  PointerPageModel& page = window_.PointerPage;
  const std::uint16_t lines =
      page.ScrollOnePage ? kScrollOnePage : static_cast<std::uint16_t>(page.ScrollLines);
  Config().VWheelSpeed = lines;
  window_.MouseApplyParams.VWheelSpeed = lines;
  page.ScrollLinesEnabled = !page.ScrollOnePage;
}

EditResult PageEditor::PointerEdit() {
  StoreScrollChoice();
  dm_.SaveBackToCurrentProfileInfo();
  return EditResult::Done;
}

EditResult PageEditor::SetScrollOnePage(bool onePage) {
  if (!Ready()) return EditResult::Ignored;
  window_.PointerPage.ScrollOnePage = onePage;
  return PointerEdit();
}

EditResult PageEditor::SetScrollLines(std::int32_t lines) {
  if (!Ready()) return EditResult::Ignored;
  if (window_.PointerPage.ScrollOnePage || !InRange(lines, 1, kMaxScrollLines))
    return EditResult::Refused;
  window_.PointerPage.ScrollLines = lines;
  return PointerEdit();
}

EditResult PageEditor::SetDoubleClickSpeed(std::int32_t speed) {
  if (!Ready()) return EditResult::Ignored;
  if (!InRange(speed, 1, kMaxDoubleClickSpeed)) return EditResult::Refused;
  window_.PointerPage.DoubleClickSpeed = speed;
  Config().DoubleClickSpeed = static_cast<std::uint16_t>(speed);
  doubleClick_.SetDoubleClickTime(DoubleClickTimeMs(speed));
  return PointerEdit();
}

EditResult PageEditor::SetPointerSpeed(std::int32_t speed) {
  if (!Ready()) return EditResult::Ignored;
  if (!InRange(speed, 1, kMaxPointerSpeed)) return EditResult::Refused;
  window_.PointerPage.PointerSpeed = speed;
  Config().PointerSpeed = static_cast<std::uint16_t>(speed);
  window_.MouseApplyParams.PointerSpeed = speed;
  return PointerEdit();
}

EditResult PageEditor::SetAcceleration(bool on) {
  if (!Ready()) return EditResult::Ignored;
  window_.PointerPage.Acceleration = on;
  Config().PointerAcceleration = on ? 1 : 0;
  window_.MouseApplyParams.PointerAcceleration = on ? 1 : 0;
  return PointerEdit();
}

EditResult PageEditor::SetPointerTrails(bool on) {
  if (!Ready()) return EditResult::Ignored;
  window_.PointerPage.PointerTrails = on;
  Config().DisplayPointerTrails = on ? kPointerTrailsOn : 0;
  window_.MouseApplyParams.DisplayPointerTrails = on ? kPointerTrailsOn : 0;
  return PointerEdit();
}

EditResult PageEditor::SetFeedbackVolume(std::int32_t volume) {
  if (!Ready()) return EditResult::Ignored;
  if (!InRange(volume, 1, kMaxFeedbackVolume)) return EditResult::Refused;
  window_.AdvancedPage.FeedbackVolume = volume;
  Config().FeedBackSetting.Volumn = volume;
  return PointerEdit();
}

// The feedback boxes store into the current profile only; the next save back takes them.
EditResult PageEditor::SetFeedbackDpiChange(bool on) {
  if (window_.Ending()) return EditResult::Ignored;
  window_.AdvancedPage.FeedbackDpiChange = on;
  Config().FeedBackSetting.DPI_Changed = on ? 1 : 0;
  window_.SettingsChanged = true;
  return EditResult::Done;
}

EditResult PageEditor::SetFeedbackProfileSwitch(bool on) {
  if (window_.Ending()) return EditResult::Ignored;
  window_.AdvancedPage.FeedbackProfileSwitch = on;
  Config().FeedBackSetting.PROFILE_Changed = on ? 1 : 0;
  window_.SettingsChanged = true;
  return EditResult::Done;
}

// ---- lighting page ----

EditResult PageEditor::SetColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (!Ready()) return EditResult::Ignored;
  LightingPageModel& page = window_.LightingPage;
  page.R = r;
  page.G = g;
  page.B = b;
  page.Percent = {r * 100 / 255, g * 100 / 255, b * 100 / 255};
  TLEDCONFIG& led = Config().LEDConfig;
  led.R = r;
  led.G = g;
  led.B = b;
  dm_.SaveBackToCurrentProfileInfo();
  window_.SettingsChanged = true;
  window_.ScheduleDeviceAction(kColorAction);
  return EditResult::Done;
}

EditResult PageEditor::SetColourPercent(int channel, std::int32_t percent) {
  if (!Ready()) return EditResult::Ignored;
  if (channel < 0 || channel > 2 || !InRange(percent, 0, 100)) return EditResult::Refused;
  std::array<std::int32_t, 3> boxes = window_.LightingPage.Percent;
  boxes[static_cast<std::size_t>(channel)] = percent;
  const EditResult result = SetColour(PercentToComponent(boxes[0]), PercentToComponent(boxes[1]),
                                      PercentToComponent(boxes[2]));
  window_.LightingPage.Percent = boxes;  // the boxes keep what was typed
  return result;
}

EditResult PageEditor::LightingSettingEdit() {
  dm_.SaveBackToCurrentProfileInfo();
  device_.WriteLedSettingsToDevice(dm_.FProfileIndex, dm_.FCurrentProfileInfo);
  return EditResult::Done;
}

EditResult PageEditor::SetBreathing(bool on) {
  if (!Ready()) return EditResult::Ignored;
  LightingPageModel& page = window_.LightingPage;
  TMOUSECONFIGINFO& c = Config();
  page.BreathingOn = on;
  page.BreathSpeedEnabled = on;
  c.BreathingOnOff = on ? 1 : 0;
  c.LEDConfig.BREATH_SPEED = on ? static_cast<std::uint8_t>(page.BreathSpeed) : 0;
  return LightingSettingEdit();
}

EditResult PageEditor::SetBreathSpeed(std::int32_t speed) {
  if (!Ready()) return EditResult::Ignored;
  LightingPageModel& page = window_.LightingPage;
  if (!page.BreathSpeedEnabled || !InRange(speed, 1, kMaxBreathSpeed)) return EditResult::Refused;
  page.BreathSpeed = speed;
  Config().LEDConfig.BREATH_SPEED = static_cast<std::uint8_t>(speed);
  return LightingSettingEdit();
}

EditResult PageEditor::SetWheelLed(bool on) {
  if (!Ready()) return EditResult::Ignored;
  window_.LightingPage.WheelLed = on;
  Config().WheelLedOnOff = on ? 1 : 0;
  return LightingSettingEdit();
}

EditResult PageEditor::SetBrightness(std::int32_t level) {
  if (!Ready()) return EditResult::Ignored;
  if (!InRange(level, 0, kMaxBrightness)) return EditResult::Refused;
  window_.LightingPage.BrightnessRadio = level;
  Config().LEDConfig.BRIGHT_LEVEL = static_cast<std::uint8_t>(level);
  return LightingSettingEdit();
}

}  // namespace quarn
