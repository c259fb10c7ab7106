#include "message_waiter.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <algorithm>
#include <utility>

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

// While posted messages may run, a wait looks at the queue at least this often.
constexpr DWORD kPostedPollMs = 10;
// Messages one look at the queue dispatches at most, so that a handler that
// posts again cannot keep the wait from its deadline.
constexpr int kPostedPerLook = 64;

}  // namespace

MessageWaiter::MessageWaiter() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  frequency_ = f.QuadPart;
}

MessageWaiter::MessageWaiter(std::vector<unsigned> heldBack) : MessageWaiter() {
  dispatchPosted_ = true;
  heldBack_ = std::move(heldBack);
  std::sort(heldBack_.begin(), heldBack_.end());
}

bool MessageWaiter::DispatchPostedDuringWait() {
  dispatchingForWait_ = true;
  // The ranges between the held-back messages, in order.
  std::vector<std::pair<UINT, UINT>> ranges;
  UINT first = 0;
  for (unsigned held : heldBack_) {
    if (held > first) ranges.emplace_back(first, held - 1);
    first = held + 1;
    if (first == 0) break;  // held back the last message number
  }
  if (first != 0 || heldBack_.empty()) ranges.emplace_back(first, 0xFFFFFFFFu);
  bool running = true;
  int budget = kPostedPerLook;
  MSG msg;
  for (const auto& [low, high] : ranges) {
    if (low == 0 && high == 0) continue;  // to PeekMessage that would mean every message
    while (budget > 0 && PeekMessageW(&msg, nullptr, low, high, PM_REMOVE)) {
      --budget;
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        running = false;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!running) break;
  }
  dispatchingForWait_ = false;
  return running;
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
  const bool posted = dispatchPosted_ && !dispatchingForWait_;
  for (;;) {
    ServiceSentMessages();
    if (stop && stop()) return false;
    if (posted) {
      if (!DispatchPostedDuringWait()) return false;
      if (stop && stop()) return false;
    }
    const std::int64_t remaining = deadline - NowMicros();
    if (remaining <= 0) return true;
    // Whole milliseconds, rounded up: at most one late, never a busy wait. The
    // actions keep their own schedule, so this lateness does not add up.
    DWORD ms = static_cast<DWORD>(std::min<std::int64_t>((remaining + 999) / 1000, 0x7FFFFFFF));
    if (posted) ms = std::min(ms, kPostedPollMs);
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
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
