#include "message_waiter.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

namespace quarn {

namespace {

// The system timer at 1 ms for the lifetime of one wait.
class FineTimer {
 public:
  FineTimer() : active_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
  ~FineTimer() {
    if (active_) timeEndPeriod(1);
  }
  FineTimer(const FineTimer&) = delete;
  FineTimer& operator=(const FineTimer&) = delete;

 private:
  bool active_;
};

// Runs the handlers of every message sent to this thread; posted messages stay queued.
void ServiceSentMessages() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

MessageWaiter::MessageWaiter() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  frequency_ = f.QuadPart;
}

std::int64_t MessageWaiter::NowMicros() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  // Split to keep the product inside 64 bits for any counter value.
  const std::int64_t seconds = c.QuadPart / frequency_;
  const std::int64_t rest = c.QuadPart % frequency_;
  return seconds * 1'000'000 + rest * 1'000'000 / frequency_;
}

bool MessageWaiter::WaitUntil(std::int64_t deadline, const std::function<bool()>& stop) {
  FineTimer timer;
  for (;;) {
    ServiceSentMessages();
    if (stop && stop()) return false;
    const std::int64_t remaining = deadline - NowMicros();
    if (remaining <= 0) return true;
    // Whole milliseconds, rounded up: at most one late, never a busy wait. The
    // actions keep their own schedule, so this lateness does not add up.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>((remaining + 999) / 1000),
                                QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
  }
}

bool MessageWaiter::ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace quarn
