// The one-shot timer behind the window's deferred device actions, on a
// message-only window of its own: it fires on the thread that made it, from
// that thread's message loop.
#pragma once

#include <windows.h>

#include <functional>

#include "config_seams.h"

namespace quarn {

class WinActionTimer final : public ActionTimer {
 public:
  // `onFire` runs once per Start, `ms` after the last one, unless stopped first.
  explicit WinActionTimer(std::function<void()> onFire);
  ~WinActionTimer() override;
  WinActionTimer(const WinActionTimer&) = delete;
  WinActionTimer& operator=(const WinActionTimer&) = delete;

  void Start(std::uint32_t ms) override;
  void Stop() override;
  bool Running() const { return running_; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  std::function<void()> onFire_;
  HWND hwnd_ = nullptr;
  bool running_ = false;
};

}  // namespace quarn
