// The button change carried by an input report: which button usage was
// released or pressed since the previous report of the same reader.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace quarn {

// Usage lists hold at most this many entries; longer lists are cut.
constexpr std::uint32_t kMaxUsageListLength = 100;

// Usages of `previous` missing from `current` go to `breaks`, usages of
// `current` missing from `previous` to `makes`; the first `length` entries of
// each list count and a zero entry ends a list. Unused entries are zero.
void UsageListDifference(const std::uint16_t* previous, const std::uint16_t* current,
                         std::uint16_t* breaks, std::uint16_t* makes, std::uint32_t length);

// Remembers the usages of the last report and turns each new report into its
// button data: the first released usage, else the first pressed usage shifted
// into the high half, else 0. A release hides a simultaneous press.
class ButtonUsageTracker {
 public:
  // `current` holds the usages of the new report; `length` is the list length
  // the device reports (clamped to kMaxUsageListLength).
  std::uint32_t Update(const std::vector<std::uint16_t>& current, std::uint32_t length);

 private:
  std::array<std::uint16_t, kMaxUsageListLength> previous_{};
};

}  // namespace quarn
