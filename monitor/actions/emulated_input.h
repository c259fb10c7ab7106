// The input sequences a button action plays in place of a swallowed button
// event: key combinations, the double click, the fire key, keys given by HID
// usage and macros. Each runs inside an ActionRun, which keeps the action's
// timing, notices an abort and lets go of whatever the action still holds
// down when it ends.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "action_waiter.h"
#include "input_sink.h"
#include "macro_records.h"

namespace quarn {

// The extended-key flag of a stored key: set for the group marker 225 and for
// the flag value 1, clear for everything else (224, 0, ...).
constexpr bool IsExtendedKeyMarker(std::int32_t marker) {
  return marker == 225 || marker == 1;
}

// A virtual key the system can be sent: 1 to 254.
constexpr bool IsSendableKey(std::int32_t vk) {
  return vk >= 1 && vk <= 254;
}

// One running action.
class ActionRun {
 public:
  // `aborted` says whether the action has been told to stop. `stepBoundary`,
  // when given, is what runs at a step boundary instead of the waiter's
  // ProcessPendingMessages (false when the program is quitting).
  ActionRun(InputSink& sink, ActionWaiter& waiter, std::function<bool()> aborted,
            std::function<bool()> stepBoundary = {});
  ~ActionRun();
  ActionRun(const ActionRun&) = delete;
  ActionRun& operator=(const ActionRun&) = delete;

  // Input; a virtual key outside 1 to 254 is not sent.
  void Key(std::int32_t vk, bool extended, bool up);
  void Button(MouseButton button, bool up);
  void Wheel(std::int32_t delta);

  // Waits `ms` on the action's own schedule: each pause ends `ms` after the
  // previous one was due, so the time spent sending input does not add up.
  // When the action has fallen behind (a nested action ran), the schedule
  // starts again from now. False when the action was aborted.
  bool Pause(std::uint32_t ms);
  // A step boundary: queued messages run (nested actions among them). False
  // when the action was aborted or the program is quitting.
  bool ServiceQueue();
  bool Aborted() const;

  // Releases every key and button this action pressed and has not released,
  // the last pressed first.
  void ReleaseHeld();

 private:
  struct Held {
    bool isKey;
    std::uint16_t vk;
    bool extended;
    MouseButton button;
  };

  InputSink& sink_;
  ActionWaiter& waiter_;
  std::function<bool()> aborted_;
  std::function<bool()> stepBoundary_;
  std::int64_t next_;
  bool quitting_ = false;
  std::vector<Held> held_;
};

// A schedule that has fallen this far behind starts again from now.
constexpr std::int64_t ACTION_RESYNC_MICROS = 5000;

// How SendComboKey paces a combination: the shortcut tables pause after every
// key event, a button's own combination not after the release of key 2.
enum class ComboTiming { Shortcut, Button };

}  // namespace quarn

// Modifiers down (Ctrl, Shift, Alt, Win), key 1 down, 20 ms, key 2 down when
// set, 20 ms, key 1 up, 20 ms, key 2 up when set, 20 ms (Shortcut only),
// modifiers up in the same order.
void SendComboKey(quarn::ActionRun& run, const TCOMBOKEYINFO& combo,
                  quarn::ComboTiming timing = quarn::ComboTiming::Shortcut);

// On a press (state 1): left down, 10 ms, left up, 20 ms, left down, 10 ms, left up.
void DoubleClickLeftButton(quarn::ActionRun& run, std::int32_t state);

// nLoopCount times: left down, DelyValue ms, left up, DelyValue ms.
void PlayFireKey(quarn::ActionRun& run, const TFIREKEYINFO& fireKey);

// Taps the key of a HID usage (looked up with the E1 group marker): down,
// queued messages, 20 ms, up. A usage without a key sends nothing.
void TapHidKey(quarn::ActionRun& run, std::int32_t usage);
// The usage a THID_CODE_INFO names: nKeyValue2 * 256 + nKeyValue1.
std::int32_t HidUsageOf(const THID_CODE_INFO& hidKey);

// nLoopCount + 1 passes over the first MacroListCount steps (at most 128).
void PlayMacro(quarn::ActionRun& run, const TMACROKEYINFO& macro);
