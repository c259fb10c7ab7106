#include "foreground.h"

namespace quarn::ui {

namespace {

void BringToFront(HWND hwnd) {
  BringWindowToTop(hwnd);
  SetForegroundWindow(hwnd);
}

// Lifts the foreground lock time-out while it lives and puts the value read back.
class ForegroundLockLifted {
 public:
  ForegroundLockLifted() {
    read_ = SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout_, 0) != FALSE;
    if (read_) SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
  }
  ~ForegroundLockLifted() {
    if (read_)
      SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                            reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout_)),
                            SPIF_SENDCHANGE);
  }
  ForegroundLockLifted(const ForegroundLockLifted&) = delete;
  ForegroundLockLifted& operator=(const ForegroundLockLifted&) = delete;

 private:
  DWORD timeout_ = 0;
  bool read_ = false;
};

}  // namespace

bool ForceWindowToForeground(HWND hwnd) {
  if (!hwnd || !IsWindow(hwnd)) return false;
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  HWND front = GetForegroundWindow();
  if (front == hwnd) return true;

  bool inFront = false;
  const DWORD ours = GetCurrentThreadId();
  const DWORD theirs = front ? GetWindowThreadProcessId(front, nullptr) : 0;
  if (theirs != 0 && theirs != ours) {
    if (AttachThreadInput(ours, theirs, TRUE)) {
      BringToFront(hwnd);
      AttachThreadInput(ours, theirs, FALSE);
      inFront = GetForegroundWindow() == hwnd;
    }
  } else {
    // Nothing in front, or a window of this thread: no input to share.
    BringToFront(hwnd);
    inFront = GetForegroundWindow() == hwnd;
  }
  if (!inFront) {
    ForegroundLockLifted lifted;
    BringToFront(hwnd);
  }
  return GetForegroundWindow() == hwnd;
}

}  // namespace quarn::ui
