// The program's waiter for button actions, on the thread that owns the mouse
// hook and the monitor's window. A wait services messages sent to the thread
// (the low-level hook calls among them), so the hook never stalls and other
// buttons keep working, while posted messages stay queued until the action
// reaches a step boundary. Waits end on the high-resolution clock, with the
// system timer at 1 ms while waiting, so delays keep their milliseconds.
#pragma once

#include "action_waiter.h"

namespace quarn {

class MessageWaiter : public ActionWaiter {
 public:
  MessageWaiter();
  std::int64_t NowMicros() override;
  bool WaitUntil(std::int64_t deadline, const std::function<bool()>& stop) override;
  // Dispatches the queued messages. On WM_QUIT it posts the quit request again
  // for the program's own message loop and returns false.
  bool ProcessPendingMessages() override;

 private:
  std::int64_t frequency_;
};

}  // namespace quarn
