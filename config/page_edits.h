// The edits of the performance and lighting pages as operations on the
// current profile: DPI levels, report rate, pointer and feedback settings,
// colour, brightness, breathing and the wheel LED. Each checks its value
// against the range of the control it stands for and refuses anything else,
// leaving the profile as it was; an accepted edit stores into the profile,
// updates what the page shows, and carries out the outside effects the
// control has (the Windows double-click time, the mouse's lighting).
#pragma once

#include <cstdint>

#include "config_main_controller.h"
#include "config_seams.h"
#include "dm.h"

namespace quarn {

// The Windows double-click time, set at once.
class DoubleClickTimeSetter {
 public:
  virtual ~DoubleClickTimeSetter() = default;
  virtual bool SetDoubleClickTime(std::uint32_t ms) = 0;
};

enum class EditResult {
  Done,
  Refused,  // a value or level outside the control's range, or a control that is disabled
  Ignored,  // the window is not ready yet, or is ending
};

enum class DpiAxis { X, Y };

// Ranges of the controls.
constexpr std::int32_t kMinDpiValue = 100;
constexpr std::int32_t kMaxDpiValue = 4000;
constexpr std::int32_t kMaxScrollLines = 19;
constexpr std::uint16_t kScrollOnePage = 20;
constexpr std::int32_t kMaxDoubleClickSpeed = 10;
constexpr std::int32_t kMaxPointerSpeed = 11;
constexpr std::int32_t kMaxFeedbackVolume = 10;
constexpr std::int32_t kMaxBreathSpeed = 9;
constexpr std::int32_t kMaxBrightness = 3;
constexpr std::int32_t kPointerTrailsOn = 5;

// Milliseconds of the Windows double-click time for the page's speed 1..10.
constexpr std::uint32_t DoubleClickTimeMs(std::int32_t speed) {
  return static_cast<std::uint32_t>(1200 - 100 * speed);
}

class PageEditor {
 public:
  PageEditor(TDM& dm, ConfigMainController& window, LightingDevice& device,
             DoubleClickTimeSetter& doubleClick)
      : dm_(dm), window_(window), device_(device), doubleClick_(doubleClick) {}

  // ---- DPI page (levels 0..3) ----
  // Switching off the last enabled level is refused.
  EditResult SetDpiLevelEnabled(int level, bool enabled);
  EditResult SetDpiLinked(int level, bool linked);
  // The value of one axis (both when the level is linked), 100..4000; the
  // level's hardware value follows the larger of X and Y.
  EditResult SetDpiLevelValue(int level, DpiAxis axis, std::int32_t value);
  EditResult SelectDpiLevel(int level);

  // ---- advanced page ----
  EditResult SetReportRate(std::int32_t rate);  // 125, 250, 500, 1000
  EditResult SetScrollOnePage(bool onePage);
  EditResult SetScrollLines(std::int32_t lines);       // 1..19, while "SPEED SETTING" is chosen
  EditResult SetDoubleClickSpeed(std::int32_t speed);  // 1..10
  EditResult SetPointerSpeed(std::int32_t speed);      // 1..11
  EditResult SetAcceleration(bool on);
  EditResult SetPointerTrails(bool on);
  EditResult SetFeedbackVolume(std::int32_t volume);  // 1..10
  EditResult SetFeedbackDpiChange(bool on);
  EditResult SetFeedbackProfileSwitch(bool on);

  // ---- lighting page ----
  // A colour from the colour panel; written to the mouse after the deferral.
  EditResult SetColour(std::uint8_t r, std::uint8_t g, std::uint8_t b);
  // One percent box (0 red, 1 green, 2 blue), 0..100; the colour becomes that
  // of the three boxes.
  EditResult SetColourPercent(int channel, std::int32_t percent);
  // These four are written to the mouse at once.
  EditResult SetBreathing(bool on);
  EditResult SetBreathSpeed(std::int32_t speed);  // 1..9, while breathing is on
  EditResult SetWheelLed(bool on);
  EditResult SetBrightness(std::int32_t level);  // 0 off, 1 low, 2 medium, 3 full

 private:
  TMOUSECONFIGINFO& Config() { return dm_.FCurrentProfileInfo.ConfigInfo; }
  // Change callbacks run only once the window is made, never while it ends.
  bool Ready() const { return window_.FFinishedInitlizing && !window_.Ending(); }
  void ShowDpiKeepingHighlight();
  // The scroll radios and lines box, stored by every pointer edit.
  void StoreScrollChoice();
  EditResult PointerEdit();
  EditResult LightingSettingEdit();

  TDM& dm_;
  ConfigMainController& window_;
  LightingDevice& device_;
  DoubleClickTimeSetter& doubleClick_;
};

}  // namespace quarn
