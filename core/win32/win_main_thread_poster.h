// Delivers work from any thread to the thread that created the poster, through
// that thread's message loop (a hidden message window wakes it up). Work still
// queued when the poster goes is dropped, never run late.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

#include "hid_transport.h"

namespace quarn {

class WinMainThreadPoster : public MainThreadPoster {
 public:
  WinMainThreadPoster();
  ~WinMainThreadPoster() override;
  WinMainThreadPoster(const WinMainThreadPoster&) = delete;
  WinMainThreadPoster& operator=(const WinMainThreadPoster&) = delete;

  void Post(std::function<void()> work) override;
  // Runs the work queued so far (the window does this when the loop reaches it).
  void RunQueued();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace quarn
