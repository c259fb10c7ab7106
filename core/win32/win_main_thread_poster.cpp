#include "win_main_thread_poster.h"

namespace quarn {

namespace {

constexpr wchar_t kClassName[] = L"QuarnMainThreadPoster";
constexpr UINT kRunQueued = WM_APP + 1;

}  // namespace

WinMainThreadPoster::WinMainThreadPoster() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &WinMainThreadPoster::WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when already registered
  window_ =
      CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

WinMainThreadPoster::~WinMainThreadPoster() {
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void WinMainThreadPoster::Post(std::function<void()> work) {
  bool wake;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    wake = queue_.empty();
    queue_.push_back(std::move(work));
  }
  if (wake && window_) PostMessageW(window_, kRunQueued, 0, 0);
}

void WinMainThreadPoster::RunQueued() {
  std::deque<std::function<void()>> work;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    work.swap(queue_);
  }
  for (auto& w : work) {
    try {
      w();
    } catch (...) {
      // Nothing crosses the window procedure.
    }
  }
}

LRESULT CALLBACK WinMainThreadPoster::WindowProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                 LPARAM lParam) {
  if (msg == kRunQueued) {
    auto* self = reinterpret_cast<WinMainThreadPoster*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) self->RunQueued();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace quarn
