// A colour that moves from one value to another over a time, forth and (with
// autoReverse) back, once or looping. Portable: the host's timer asks for the colour
// at the current time and paints it.
#pragma once

#include <cstdint>

#include "ui/graphics.h"

namespace quarn::ui {

class ColorAnimation {
 public:
  Color startValue = Rgb(0xFF, 0xFF, 0xFF);
  Color stopValue = Rgb(0xFF, 0, 0);
  std::uint32_t durationMs = 3000;  // one way
  bool autoReverse = true;
  bool loop = true;

  // Starts (again) from the start value at `nowMs`.
  void Start(std::uint64_t nowMs);
  // Stops where it is: ValueAt keeps giving the colour it had then.
  void Stop(std::uint64_t nowMs);
  bool Running() const { return running_; }
  // The colour at `nowMs` (times before the start count as the start). A run that is
  // not looping ends on its last value and stops running at the first call past it.
  Color ValueAt(std::uint64_t nowMs);

  // Each channel, alpha included, from `from` to `to` at t (0..1).
  static Color Blend(Color from, Color to, double t);

 private:
  double Progress(std::uint64_t nowMs, bool& finished) const;

  bool running_ = false;
  std::uint64_t startMs_ = 0;
  Color current_ = Rgb(0xFF, 0xFF, 0xFF);
};

}  // namespace quarn::ui
