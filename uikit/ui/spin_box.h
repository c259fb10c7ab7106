// An integer box whose value is committed rather than followed keystroke by keystroke:
// Enter, a step with the Up or Down key, or leaving the box commits the value brought
// into the range, then OnCommit runs (before OnKillFocus when the box is left).
#pragma once

#include <cstdint>
#include <functional>

#include "ui/controls.h"

namespace quarn::ui {

class SpinBox : public NumberBox {
 public:
  std::int64_t step = 1;

  // The committed value, in range.
  std::function<void(SpinBox& sender, std::int64_t value)> OnCommit;

  // Writes the clamped value back and fires OnCommit.
  void Commit();

  void KeyDown(std::uint16_t& key, char16_t& ch) override;
  void FocusLost() override;

  static constexpr std::uint16_t kKeyEnter = 0x0D;
  static constexpr std::uint16_t kKeyUp = 0x26;
  static constexpr std::uint16_t kKeyDown = 0x28;
};

}  // namespace quarn::ui
