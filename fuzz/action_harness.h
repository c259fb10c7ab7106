// What the data module and button action targets share: a waiter whose time is
// virtual and whose patience is bounded (a long macro or fire key is cut short
// as the Exit command would cut it), and a sink that knows which keys and
// buttons are down at the end of a run.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>

#include "action_fakes.h"
#include "fuzz_input.h"

namespace quarn::fuzz {

class BoundedWaiter : public testing::VirtualWaiter {
 public:
  // After this many waits and queue visits every further one aborts the running actions.
  static constexpr int kBudget = 400;

  std::function<void()> onExhausted;

  bool WaitUntil(std::int64_t deadline, const std::function<bool()>& stop) override {
    if (Spend()) return false;
    return VirtualWaiter::WaitUntil(deadline, stop);
  }
  bool ProcessPendingMessages() override {
    if (Spend()) return true;
    return VirtualWaiter::ProcessPendingMessages();
  }

 private:
  bool Spend() {
    if (++spent_ <= kBudget) return false;
    if (onExhausted) onExhausted();
    return true;
  }
  int spent_ = 0;
};

// Tracks what the system would see as held down after the events sent so far.
class HeldTrackingSink : public InputSink {
 public:
  std::uint16_t ScanCodeOf(std::uint16_t vk) override { return testing::FakeScanCode(vk); }
  void SendKey(const KeyInput& key) override {
    QUARN_FUZZ_CHECK(key.vk >= 1 && key.vk <= 254);
    QUARN_FUZZ_CHECK(key.scan == testing::FakeScanCode(key.vk));
    keys_[key.vk] = !key.up;
    ++events;
  }
  void SendButton(MouseButton button, bool up) override {
    QUARN_FUZZ_CHECK(static_cast<int>(button) < 5);
    buttons_[static_cast<int>(button)] = !up;
    ++events;
  }
  void SendWheel(std::int32_t delta) override {
    QUARN_FUZZ_CHECK(delta == 120 || delta == -120);
    ++events;
  }
  void SendHWheel(std::int32_t delta) override {
    QUARN_FUZZ_CHECK(delta == 120 || delta == -120);
    ++events;
  }

  bool AnythingHeld() const {
    for (bool down : keys_)
      if (down) return true;
    for (bool down : buttons_)
      if (down) return true;
    return false;
  }

  long events = 0;

 private:
  std::array<bool, 256> keys_{};
  std::array<bool, 5> buttons_{};
};

}  // namespace quarn::fuzz
