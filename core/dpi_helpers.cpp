#include "dpi_helpers.h"

#include "shared_tables.h"

std::uint32_t GetMaxValue(std::uint32_t A, std::uint32_t B) { return A > B ? A : B; }

std::int32_t GetNearestOfTwo(std::int32_t Low, std::int32_t High, std::int32_t Value) {
  if (Low < 0 || High < 0 || Value < 0) return Low;
  std::int64_t toLow = static_cast<std::int64_t>(Value) - Low;
  std::int64_t toHigh = static_cast<std::int64_t>(High) - Value;
  if (toLow < 0) toLow = -toLow;
  if (toHigh < 0) toHigh = -toHigh;
  return toLow <= toHigh ? Low : High;
}

std::uint32_t GetNearestHWCPI(std::uint32_t Value) {
  const auto& t = HWCPITable;
  if (Value <= t.front()) return t.front();
  if (Value >= t.back()) return t.back();
  for (std::size_t i = 0; i + 1 < t.size(); ++i)
    if (t[i] <= Value && Value < t[i + 1])
      return static_cast<std::uint32_t>(GetNearestOfTwo(static_cast<std::int32_t>(t[i]),
                                                        static_cast<std::int32_t>(t[i + 1]),
                                                        static_cast<std::int32_t>(Value)));
  return t.front();
}

bool CalculateXYCpiRate(CPI_UNIT& Unit) {
  for (int i = 0; i <= 5; ++i) {
    const std::uint32_t hwX = Unit.HWCpi[i].X, hwY = Unit.HWCpi[i].Y;
    if (hwX == 0 || hwY == 0) {
      Unit.XYCpiRate[i].X = 0;
      Unit.XYCpiRate[i].Y = 0;
      continue;
    }
    const std::uint64_t x = static_cast<std::uint64_t>(Unit.STCpi[i].X) * 100u;
    const std::uint64_t y = static_cast<std::uint64_t>(Unit.STCpi[i].Y) * 100u;
    if (x > UINT32_MAX || y > UINT32_MAX) return false;
    const std::uint64_t rx = x / hwX, ry = y / hwY;
    if (rx > INT16_MAX || ry > INT16_MAX) return false;
    Unit.XYCpiRate[i].X = static_cast<std::int16_t>(rx);
    Unit.XYCpiRate[i].Y = static_cast<std::int16_t>(ry);
  }
  return true;
}
