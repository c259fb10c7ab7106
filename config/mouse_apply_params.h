// The Windows pointer settings a profile carries and their hand-over to
// Windows: the values taken from the current profile, the acceleration
// triples, and the job that makes each setting that is valid.
#pragma once

#include <array>
#include <cstdint>

#include "config_seams.h"
#include "profile_records.h"

namespace quarn {

struct TMouseApplyParams {
  std::int32_t PointerSpeed;
  std::int32_t VWheelSpeed;
  std::int32_t PointerAcceleration;
  std::int32_t DisplayPointerTrails;
};
static_assert(sizeof(TMouseApplyParams) == 16);

// Indexed by PointerAcceleration 0..3.
inline constexpr std::array<MouseAccelerationTriple, 4> MouseAccelerationTriples = {{
    {0, 0, 0},
    {7, 0, 1},
    {4, 6, 2},
    {4, 0, 1},
}};

// The ranges Windows is given: anything else leaves that one setting as it is.
constexpr std::int32_t kMinMouseSpeed = 1;
constexpr std::int32_t kMaxMouseSpeed = 20;
constexpr std::int32_t kMinWheelLines = 1;
constexpr std::int32_t kMaxWheelLines = 20;  // 20 also stands for "one page"

// What showing `profile` hands to the next apply: its wheel lines,
// acceleration and trails as stored, its speed as the speed slider holds it
// (1..11).
TMouseApplyParams ShownApplyParams(const TMouseProfileInfo& profile);

// Speed, wheel lines and acceleration of `profile`; the trails stay as they are.
void TakeApplyParamsFromProfile(TMouseApplyParams& params, const TMouseProfileInfo& profile);

// Makes, in this order, the acceleration, speed, wheel lines and trails of
// `params`, each only when its value is valid. Returns how many were skipped.
int ApplyWindowsMouseSettings(const TMouseApplyParams& params, MouseSettingsWriter& writer);

}  // namespace quarn
