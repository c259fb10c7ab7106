#include "hid_button_data.h"

#include <algorithm>

namespace quarn {

namespace {

bool Contains(const std::uint16_t* list, std::uint32_t length, std::uint16_t usage) {
  for (std::uint32_t i = 0; i < length && list[i] != 0; ++i)
    if (list[i] == usage) return true;
  return false;
}

}  // namespace

void UsageListDifference(const std::uint16_t* previous, const std::uint16_t* current,
                         std::uint16_t* breaks, std::uint16_t* makes, std::uint32_t length) {
  std::fill(breaks, breaks + length, 0);
  std::fill(makes, makes + length, 0);
  std::uint32_t b = 0;
  std::uint32_t m = 0;
  for (std::uint32_t i = 0; i < length && previous[i] != 0; ++i)
    if (!Contains(current, length, previous[i])) breaks[b++] = previous[i];
  for (std::uint32_t i = 0; i < length && current[i] != 0; ++i)
    if (!Contains(previous, length, current[i])) makes[m++] = current[i];
}

std::uint32_t ButtonUsageTracker::Update(const std::vector<std::uint16_t>& current,
                                         std::uint32_t length) {
  const std::uint32_t n = std::min(length, kMaxUsageListLength);
  if (n == 0) return 0;
  std::array<std::uint16_t, kMaxUsageListLength> now{};
  std::copy_n(current.begin(), std::min<std::size_t>(current.size(), n), now.begin());
  std::array<std::uint16_t, kMaxUsageListLength> breaks{};
  std::array<std::uint16_t, kMaxUsageListLength> makes{};
  UsageListDifference(previous_.data(), now.data(), breaks.data(), makes.data(), n);
  std::copy_n(now.begin(), n, previous_.begin());
  if (breaks[0] != 0) return breaks[0];
  if (makes[0] != 0) return static_cast<std::uint32_t>(makes[0]) << 16;
  return 0;
}

}  // namespace quarn
