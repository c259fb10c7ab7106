#include "emulated_input.h"

#include <algorithm>
#include <utility>

#include "hid_key_lookup.h"

namespace quarn {

ActionRun::ActionRun(InputSink& sink, ActionWaiter& waiter, std::function<bool()> aborted,
                     std::function<bool()> stepBoundary)
    : sink_(sink),
      waiter_(waiter),
      aborted_(std::move(aborted)),
      stepBoundary_(std::move(stepBoundary)),
      next_(waiter.NowMicros()) {}

ActionRun::~ActionRun() {
  ReleaseHeld();
}

void ActionRun::Key(std::int32_t vk, bool extended, bool up) {
  if (!IsSendableKey(vk)) return;
  const auto code = static_cast<std::uint16_t>(vk);
  auto same = [code](const Held& h) { return h.isKey && h.vk == code; };
  if (up) {
    held_.erase(std::remove_if(held_.begin(), held_.end(), same), held_.end());
  } else if (std::find_if(held_.begin(), held_.end(), same) == held_.end()) {
    held_.push_back({true, code, extended, MouseButton::Left});
  }
  sink_.SendKey({code, sink_.ScanCodeOf(code), extended, up});
}

void ActionRun::Button(MouseButton button, bool up) {
  auto same = [button](const Held& h) { return !h.isKey && h.button == button; };
  if (up) {
    held_.erase(std::remove_if(held_.begin(), held_.end(), same), held_.end());
  } else if (std::find_if(held_.begin(), held_.end(), same) == held_.end()) {
    held_.push_back({false, 0, false, button});
  }
  sink_.SendButton(button, up);
}

void ActionRun::Wheel(std::int32_t delta) {
  sink_.SendWheel(delta);
}

bool ActionRun::Pause(std::uint32_t ms) {
  if (Aborted()) return false;
  const std::int64_t now = waiter_.NowMicros();
  if (now - next_ > ACTION_RESYNC_MICROS) next_ = now;
  next_ += std::int64_t{ms} * 1000;
  return waiter_.WaitUntil(next_, [this] { return Aborted(); }) && !Aborted();
}

bool ActionRun::ServiceQueue() {
  if (Aborted()) return false;
  const bool running = stepBoundary_ ? stepBoundary_() : waiter_.ProcessPendingMessages();
  if (!running) quitting_ = true;
  return !Aborted();
}

bool ActionRun::Aborted() const {
  return quitting_ || (aborted_ && aborted_());
}

void ActionRun::ReleaseHeld() {
  while (!held_.empty()) {
    const Held h = held_.back();
    held_.pop_back();
    if (h.isKey)
      sink_.SendKey({h.vk, sink_.ScanCodeOf(h.vk), h.extended, true});
    else
      sink_.SendButton(h.button, true);
  }
}

}  // namespace quarn

namespace {

using quarn::ActionRun;
using quarn::MouseButton;

constexpr std::uint16_t VK_LSHIFT_ = 0xA0;
constexpr std::uint16_t VK_LCONTROL_ = 0xA2;
constexpr std::uint16_t VK_LMENU_ = 0xA4;
constexpr std::uint16_t VK_LWIN_ = 0x5B;

struct ModifierKey {
  std::uint16_t bit;
  std::uint16_t vk;
};
// Pressed and released in this order.
constexpr ModifierKey kModifierOrder[] = {
    {MODIFIER_CTRL, VK_LCONTROL_},
    {MODIFIER_SHIFT, VK_LSHIFT_},
    {MODIFIER_ALT, VK_LMENU_},
    {MODIFIER_WIN, VK_LWIN_},
};

void Modifiers(ActionRun& run, std::uint16_t modifier, bool up) {
  for (const auto& m : kModifierOrder)
    if (modifier & m.bit) run.Key(m.vk, false, up);
}

// Plays the combination up to the release of the modifiers; false when aborted.
bool ComboKeys(ActionRun& run, const TCOMBOKEYINFO& combo, quarn::ComboTiming timing) {
  const bool ext1 = quarn::IsExtendedKeyMarker(combo.nKey1Extended);
  const bool ext2 = quarn::IsExtendedKeyMarker(combo.nKey2Extended);
  const bool hasKey2 = combo.nKeyValue2 != 0;
  run.Key(combo.nKeyValue1, ext1, false);
  if (!run.Pause(20)) return false;
  if (hasKey2) run.Key(combo.nKeyValue2, ext2, false);
  if (!run.Pause(20)) return false;
  run.Key(combo.nKeyValue1, ext1, true);
  if (!run.Pause(20)) return false;
  if (hasKey2) run.Key(combo.nKeyValue2, ext2, true);
  if (timing == quarn::ComboTiming::Shortcut && !run.Pause(20)) return false;
  return true;
}

// Taps a key row found by usage; false when aborted.
bool TapUsage(ActionRun& run, std::int32_t usage) {
  TKeyboardInfoTable row;
  FindKeyByHIDCode(usage, HID_LOOKUP_GROUP, row);
  if (!quarn::IsSendableKey(row.VKCode)) return true;
  const bool extended = quarn::IsExtendedKeyMarker(row.Extended);
  run.Key(row.VKCode, extended, false);
  if (!run.ServiceQueue() || !run.Pause(20)) return false;
  run.Key(row.VKCode, extended, true);
  return true;
}

bool MacroMouseButton(std::uint8_t value, MouseButton& button) {
  switch (value) {
    case 1:
      button = MouseButton::Left;
      return true;
    case 2:
      button = MouseButton::Right;
      return true;
    case 4:
      button = MouseButton::Middle;
      return true;
    case 8:
      button = MouseButton::X1;
      return true;
    case 16:
      button = MouseButton::X2;
      return true;
    default:
      return false;
  }
}

constexpr std::int32_t WHEEL_NOTCH = 120;

// Plays one step; false when aborted.
bool PlayMacroStep(ActionRun& run, const TMACROKEY& step) {
  switch (step.nKeyType) {
    case MACROKEY_MOUSE: {
      MouseButton button;
      if (MacroMouseButton(step.MouseKeyValue, button)) run.Button(button, step.nKeyState != 1);
      return true;
    }
    case MACROKEY_WHEEL:
      // One notch; a value with the sign bit set (0xFF, ...) turns toward the user.
      run.Wheel(step.WHEEL_VALUE & 0x80 ? -WHEEL_NOTCH : WHEEL_NOTCH);
      return true;
    case MACROKEY_KEYBOARD:
      run.Key(step.nKeyValue, quarn::IsExtendedKeyMarker(step.nKeyExtended), step.nKeyState != 1);
      return true;
    case MACROKEY_MEDIA:
      return TapUsage(run, step.MediaKey_H * 256 + step.MediaKey_L);
    case MACROKEY_DELAY:
      return run.Pause(step.DELAY_H * 256u + step.DELAY_L);
    default:
      return true;
  }
}

}  // namespace

void SendComboKey(ActionRun& run, const TCOMBOKEYINFO& combo, quarn::ComboTiming timing) {
  Modifiers(run, combo.nModifier, false);
  if (!ComboKeys(run, combo, timing)) return;  // the run lets go of what is still down
  Modifiers(run, combo.nModifier, true);
}

void DoubleClickLeftButton(ActionRun& run, std::int32_t state) {
  if (state != 1) return;
  run.Button(MouseButton::Left, false);
  if (!run.Pause(10)) return;
  run.Button(MouseButton::Left, true);
  if (!run.Pause(20)) return;
  run.Button(MouseButton::Left, false);
  if (!run.Pause(10)) return;
  run.Button(MouseButton::Left, true);
}

void PlayFireKey(ActionRun& run, const TFIREKEYINFO& fireKey) {
  for (std::uint32_t n = 0; n < fireKey.nLoopCount; ++n) {
    if (run.Aborted()) return;
    run.Button(MouseButton::Left, false);
    if (!run.Pause(fireKey.DelyValue)) return;
    run.Button(MouseButton::Left, true);
    if (!run.Pause(fireKey.DelyValue)) return;
  }
}

std::int32_t HidUsageOf(const THID_CODE_INFO& hidKey) {
  return (std::int32_t{hidKey.nKeyValue2} << 8) | hidKey.nKeyValue1;
}

void TapHidKey(ActionRun& run, std::int32_t usage) {
  TapUsage(run, usage);
}

void PlayMacro(ActionRun& run, const TMACROKEYINFO& macro) {
  const int steps = std::min<std::int32_t>(macro.MacroListCount, MAX_MACRO_STEPS);
  if (steps <= 0) return;
  const std::uint32_t passes = std::uint32_t{macro.nLoopCount} + 1;
  for (std::uint32_t pass = 0; pass < passes; ++pass) {
    for (int i = 0; i < steps; ++i) {
      if (run.Aborted()) return;
      if (!PlayMacroStep(run, macro.MacroList[i])) return;
      if (!run.ServiceQueue()) return;
    }
  }
}
