#include "mouse_apply_params.h"

#include <algorithm>

namespace quarn {

TMouseApplyParams ShownApplyParams(const TMouseProfileInfo& profile) {
  const TMOUSECONFIGINFO& c = profile.ConfigInfo;
  TMouseApplyParams params{};
  params.PointerSpeed = std::clamp<std::int32_t>(c.PointerSpeed, 1, 11);
  params.VWheelSpeed = c.VWheelSpeed;
  params.PointerAcceleration = c.PointerAcceleration;
  params.DisplayPointerTrails = c.DisplayPointerTrails;
  return params;
}

void TakeApplyParamsFromProfile(TMouseApplyParams& params, const TMouseProfileInfo& profile) {
  const TMOUSECONFIGINFO& c = profile.ConfigInfo;
  params.PointerSpeed = c.PointerSpeed;
  params.PointerAcceleration = c.PointerAcceleration;
  params.VWheelSpeed = c.VWheelSpeed;
}

int ApplyWindowsMouseSettings(const TMouseApplyParams& params, MouseSettingsWriter& writer) {
  int skipped = 0;
  const std::int32_t acc = params.PointerAcceleration;
  if (acc >= 0 && acc < static_cast<std::int32_t>(MouseAccelerationTriples.size()))
    writer.SetMouseAcceleration(MouseAccelerationTriples[static_cast<std::size_t>(acc)]);
  else
    ++skipped;
  if (params.PointerSpeed >= kMinMouseSpeed && params.PointerSpeed <= kMaxMouseSpeed)
    writer.SetMouseSpeed(params.PointerSpeed);
  else
    ++skipped;
  if (params.VWheelSpeed >= kMinWheelLines && params.VWheelSpeed <= kMaxWheelLines)
    writer.SetWheelScrollLines(params.VWheelSpeed);
  else
    ++skipped;
  if (params.DisplayPointerTrails >= 0)
    writer.SetMouseTrails(params.DisplayPointerTrails);
  else
    ++skipped;
  return skipped;
}

}  // namespace quarn
