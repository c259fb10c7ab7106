#include "page_models.h"

#include <algorithm>

namespace quarn {

std::int32_t SliderPosition(std::int32_t value, std::int32_t low, std::int32_t high,
                            std::int32_t step) {
  const std::int64_t clamped = std::clamp<std::int64_t>(value, low, high);
  std::int64_t q = clamped / step;
  const std::int64_t rest = clamped % step;
  if (rest * 2 > step || (rest * 2 == step && q % 2 == 1)) ++q;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(q * step, low, high));
}

void DpiPageModel::Show(const TMouseProfileInfo& profile) {
  const TMOUSECONFIGINFO& c = profile.ConfigInfo;
  for (int i = 0; i < kDpiLevelCount; ++i) {
    DpiLevelView& v = Levels[static_cast<std::size_t>(i)];
    v.X = c.CPIState[i].X;
    v.Y = c.CPIState[i].Y;
    v.Hardware = c.HWCPIState[i].X;
    v.SliderX = static_cast<std::uint16_t>(SliderPosition(c.CPIState[i].X, 100, 4000, 100));
    v.SliderY = static_cast<std::uint16_t>(SliderPosition(c.CPIState[i].Y, 100, 4000, 100));
    v.LookEnabled = c.CPIState[i].Enabled == 1;
    v.BoxesEnabled = c.CPIState[i].Enabled != 0;
    v.Linked = c.UseDiffentXY[i] != 1;
  }
  HighlightedLevel = 1;
}

void PointerPageModel::Show(const TMouseProfileInfo& profile) {
  const TMOUSECONFIGINFO& c = profile.ConfigInfo;
  ScrollOnePage = c.VWheelSpeed >= 20;
  ScrollLinesEnabled = !ScrollOnePage;
  if (!ScrollOnePage) ScrollLines = std::clamp<std::int32_t>(c.VWheelSpeed, 1, 19);
  DoubleClickSpeed = std::clamp<std::int32_t>(c.DoubleClickSpeed, 1, 10);
  PointerSpeed = std::clamp<std::int32_t>(c.PointerSpeed, 1, 11);
  Acceleration = c.PointerAcceleration != 0;
  PointerTrails = c.DisplayPointerTrails > 0;
}

void AdvancedPageModel::Show(const TMouseProfileInfo& profile) {
  const TMOUSECONFIGINFO& c = profile.ConfigInfo;
  switch (c.ReportRate) {
    case 250:
      ReportRateRadio = 1;
      break;
    case 500:
      ReportRateRadio = 2;
      break;
    case 1000:
      ReportRateRadio = 3;
      break;
    default:
      ReportRateRadio = 0;
      break;
  }
  FeedbackDpiChange = c.FeedBackSetting.DPI_Changed == 1;
  FeedbackProfileSwitch = c.FeedBackSetting.PROFILE_Changed == 1;
  FeedbackVolume = std::clamp<std::int32_t>(c.FeedBackSetting.Volumn, 1, 10);
}

void LightingPageModel::Show(const TMouseProfileInfo& profile) {
  const TMOUSECONFIGINFO& c = profile.ConfigInfo;
  const TLEDCONFIG& led = c.LEDConfig;
  R = led.R;
  G = led.G;
  B = led.B;
  Percent = {led.R * 100 / 255, led.G * 100 / 255, led.B * 100 / 255};
  BrightnessRadio = led.BRIGHT_LEVEL <= 2 ? led.BRIGHT_LEVEL : 3;
  BreathingOn = c.BreathingOnOff == 1;
  BreathSpeed = std::clamp<std::int32_t>(led.BREATH_SPEED, 1, 9);
  BreathSpeedEnabled = BreathingOn;
  WheelLed = c.WheelLedOnOff == 1;
}

}  // namespace quarn
