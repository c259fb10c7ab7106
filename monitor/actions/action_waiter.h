// Time as the button actions see it: a clock, a wait that keeps the thread
// responsive, and the call that lets queued messages run at a step boundary.
// The program's waiter is message-driven; tests use a virtual clock, so that
// waiting is the only way time passes.
#pragma once

#include <cstdint>
#include <functional>

namespace quarn {

class ActionWaiter {
 public:
  virtual ~ActionWaiter() = default;

  // Monotonic time in microseconds.
  virtual std::int64_t NowMicros() = 0;

  // Waits until `deadline` (a NowMicros value). While waiting, messages sent to
  // this thread (and the low-level hook calls, which arrive the same way) are
  // serviced; posted messages stay queued. `stop` is asked after each serviced
  // message: when it says true the wait ends early and the result is false.
  virtual bool WaitUntil(std::int64_t deadline, const std::function<bool()>& stop) = 0;

  // Dispatches the posted messages waiting in this thread's queue; their
  // handlers, button actions included, run nested inside the caller. False when
  // the program is quitting.
  virtual bool ProcessPendingMessages() = 0;

  // Waits `ms` milliseconds from now; see WaitUntil.
  bool Wait(std::uint32_t ms, const std::function<bool()>& stop = {}) {
    return WaitUntil(NowMicros() + std::int64_t{ms} * 1000, stop);
  }
};

}  // namespace quarn
