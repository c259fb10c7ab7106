// The program's waiter for button actions, on the thread that owns the mouse
// hook and the monitor's window. A wait services messages sent to the thread
// (the low-level hook calls among them), so the hook never stalls and other
// buttons keep working. Posted messages either stay queued until the action
// reaches a step boundary, or (when the waiter is given the messages to hold
// back) all but those are dispatched during the wait too, so a tray menu or an
// Exit does not wait for a long delay. Waits end on the high-resolution
// clock, with the system timer at 1 ms while waiting, so delays keep their
// milliseconds.
#pragma once

#include <vector>

#include "action_waiter.h"

namespace quarn {

class MessageWaiter : public ActionWaiter {
 public:
  // Waits service sent messages only.
  MessageWaiter();
  // Waits also dispatch posted messages, except the ones numbered in
  // `heldBack`, which stay queued for a step boundary. A wait inside a message
  // that a wait dispatched services sent messages only, so waits never nest
  // more than one deep.
  explicit MessageWaiter(std::vector<unsigned> heldBack);
  std::int64_t NowMicros() override;
  bool WaitUntil(std::int64_t deadline, const std::function<bool()>& stop) override;
  // Dispatches the queued messages. On WM_QUIT it posts the quit request again
  // for the program's own message loop and returns false.
  bool ProcessPendingMessages() override;

 private:
  // Dispatches the posted messages a wait may run; false on a quit request
  // (posted again for the program's loop).
  bool DispatchPostedDuringWait();

  std::int64_t frequency_;
  bool dispatchPosted_ = false;
  std::vector<unsigned> heldBack_;  // sorted
  bool dispatchingForWait_ = false;
};

}  // namespace quarn
