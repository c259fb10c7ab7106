#include "ui/animation.h"

#include <algorithm>
#include <cmath>

namespace quarn::ui {

Color ColorAnimation::Blend(Color from, Color to, double t) {
  t = std::clamp(t, 0.0, 1.0);
  Color out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double a = (from >> shift) & 0xFF;
    const double b = (to >> shift) & 0xFF;
    const auto c = static_cast<Color>(std::lround(a + (b - a) * t)) & 0xFF;
    out |= c << shift;
  }
  return out;
}

void ColorAnimation::Start(std::uint64_t nowMs) {
  running_ = true;
  startMs_ = nowMs;
  current_ = startValue;
}

void ColorAnimation::Stop(std::uint64_t nowMs) {
  if (!running_) return;
  current_ = ValueAt(nowMs);
  running_ = false;
}

double ColorAnimation::Progress(std::uint64_t nowMs, bool& finished) const {
  finished = false;
  if (durationMs == 0) {
    finished = !loop;
    return autoReverse ? 0.0 : 1.0;
  }
  const std::uint64_t elapsed = nowMs > startMs_ ? nowMs - startMs_ : 0;
  const std::uint64_t cycle = std::uint64_t(durationMs) * (autoReverse ? 2 : 1);
  if (!loop && elapsed >= cycle) {
    finished = true;
    return autoReverse ? 0.0 : 1.0;
  }
  const std::uint64_t in = elapsed % cycle;
  if (in <= durationMs) return double(in) / durationMs;
  return double(cycle - in) / durationMs;  // on the way back
}

Color ColorAnimation::ValueAt(std::uint64_t nowMs) {
  if (!running_) return current_;
  bool finished = false;
  const double t = Progress(nowMs, finished);
  current_ = Blend(startValue, stopValue, t);
  if (finished) running_ = false;
  return current_;
}

}  // namespace quarn::ui
