#include "ui/modal.h"

#include <limits>

namespace quarn::ui {

namespace {
std::int32_t Hold(std::int64_t v) {
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  return std::int32_t(v < lo ? lo : v > hi ? hi : v);
}
}  // namespace

ScreenPoint CenterIn(const ScreenRect& area, std::int32_t width, std::int32_t height) {
  // In 64 bits: no edge or size of 32 bits can overflow here. C++ division truncates
  // toward zero.
  const std::int64_t x =
      std::int64_t(area.left) + ((std::int64_t(area.right) - area.left) - width) / 2;
  const std::int64_t y =
      std::int64_t(area.top) + ((std::int64_t(area.bottom) - area.top) - height) / 2;
  return {Hold(x), Hold(y)};
}

}  // namespace quarn::ui
