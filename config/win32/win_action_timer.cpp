#include "win_action_timer.h"

namespace quarn {

namespace {

constexpr wchar_t kClassName[] = L"QuarnActionTimer";
constexpr UINT_PTR kTimerId = 1;

void RegisterTimerClass(WNDPROC proc) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);  // fails harmlessly when already registered
}

}  // namespace

WinActionTimer::WinActionTimer(std::function<void()> onFire) : onFire_(std::move(onFire)) {
  RegisterTimerClass(&WinActionTimer::WndProc);
  hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinActionTimer::~WinActionTimer() {
  if (!hwnd_) return;
  KillTimer(hwnd_, kTimerId);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

void WinActionTimer::Start(std::uint32_t ms) {
  if (!hwnd_) return;
  // SetTimer with the same ID replaces the running one: it fires `ms` from now.
  running_ = SetTimer(hwnd_, kTimerId, ms, nullptr) != 0;
}

void WinActionTimer::Stop() {
  if (hwnd_) KillTimer(hwnd_, kTimerId);
  running_ = false;
}

LRESULT CALLBACK WinActionTimer::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == kTimerId) {
    auto* self = reinterpret_cast<WinActionTimer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    KillTimer(hwnd, kTimerId);  // one shot
    if (!self) return 0;
    self->running_ = false;
    try {
      if (self->onFire_) self->onFire_();
    } catch (...) {
      // Nothing crosses the window procedure.
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace quarn
