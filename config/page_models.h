// What the pages of the configuration window show for a profile: the DPI
// levels, the report rate, feedback and pointer settings, and the lighting.
// A page model is filled from a profile and only displays it: showing a
// profile never changes a byte of it. Values a control cannot show are shown
// as the control would (a slider at its nearest step, a radio group at its
// fallback) while the profile keeps what it holds.
#pragma once

#include <array>
#include <cstdint>

#include "profile_records.h"

namespace quarn {

constexpr int kDpiLevelCount = 4;

struct DpiLevelView {
  std::uint16_t X = 0;  // number boxes
  std::uint16_t Y = 0;
  std::uint16_t Hardware = 0;  // the hardware value box
  std::uint16_t SliderX = 0;   // sliders: multiples of 100 within 100..4000
  std::uint16_t SliderY = 0;
  bool LookEnabled = false;   // level button style, LINK XY box and sliders
  bool BoxesEnabled = false;  // X and Y number boxes
  bool Linked = false;        // LINK XY checked
};

struct DpiPageModel {
  std::array<DpiLevelView, kDpiLevelCount> Levels{};
  int HighlightedLevel = 1;
  void Show(const TMouseProfileInfo& profile);
};

struct PointerPageModel {
  bool ScrollOnePage = false;    // "SCROLLS A FULL PAGE", else "SPEED SETTING"
  std::int32_t ScrollLines = 3;  // the lines box (kept as it was while one page is shown)
  bool ScrollLinesEnabled = true;
  std::int32_t DoubleClickSpeed = 5;
  std::int32_t PointerSpeed = 1;  // slider 1..11
  bool Acceleration = false;
  bool PointerTrails = false;
  void Show(const TMouseProfileInfo& profile);
};

struct AdvancedPageModel {
  int ReportRateRadio = 0;  // 0 125 Hz, 1 250 Hz, 2 500 Hz, 3 1000 Hz
  bool FeedbackDpiChange = false;
  bool FeedbackProfileSwitch = false;
  std::int32_t FeedbackVolume = 5;  // slider 1..10
  void Show(const TMouseProfileInfo& profile);
};

struct LightingPageModel {
  std::uint8_t R = 255, G = 255, B = 255;
  std::array<std::int32_t, 3> Percent{100, 100, 100};  // red, green, blue boxes 0..100
  int BrightnessRadio = 0;                             // 0 off, 1 low, 2 medium, 3 full
  bool BreathingOn = false;
  std::int32_t BreathSpeed = 1;  // slider 1..9
  bool BreathSpeedEnabled = false;
  bool WheelLed = false;
  void Show(const TMouseProfileInfo& profile);
};

// A slider of `low`..`high` in steps of `step` set to `value`: the nearest
// step, a half to the even step.
std::int32_t SliderPosition(std::int32_t value, std::int32_t low, std::int32_t high,
                            std::int32_t step);

}  // namespace quarn
