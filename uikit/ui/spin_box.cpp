#include "ui/spin_box.h"

#include <limits>

namespace quarn::ui {

void SpinBox::Commit() {
  const std::int64_t value = Value();
  SetValue(value);
  auto handler = OnCommit;
  if (handler) handler(*this, value);
}

void SpinBox::KeyDown(std::uint16_t& key, char16_t& ch) {
  auto life = LifeToken();
  NumberBox::KeyDown(key, ch);
  if (life.expired() || key == 0) return;
  if (key == kKeyUp || key == kKeyDown) {
    const std::int64_t v = Value();
    const std::int64_t s = step < 0 ? 0 : step;
    // Saturating: a step never wraps past the integer range.
    std::int64_t next = v;
    if (key == kKeyUp)
      next = v > std::numeric_limits<std::int64_t>::max() - s ? Max() : v + s;
    else
      next = v < std::numeric_limits<std::int64_t>::min() + s ? Min() : v - s;
    SetValue(next);
    key = 0;
    Commit();
  } else if (key == kKeyEnter) {
    key = 0;
    Commit();
  }
}

void SpinBox::FocusLost() {
  auto life = LifeToken();
  if (IsShown()) Commit();
  if (life.expired()) return;
  NumberBox::FocusLost();
}

}  // namespace quarn::ui
