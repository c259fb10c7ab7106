// The desktop as the sideways scroll sees it: the pointer, the foreground
// window and its focus, class names, child windows, and messages to other
// programs' windows that give up after a short time-out, so that a hung
// program never holds up the monitor or its mouse hook.
#pragma once

#include <cstdint>

#include "horizontal_scroll.h"

namespace quarn {

class WinScrollWindows : public ScrollWindows {
 public:
  // How long a message to another program's window may take.
  static constexpr std::uint32_t SEND_TIMEOUT_MS = 300;

  ScreenPoint CursorPos() override;
  WindowId Foreground() override;
  std::u16string ClassName(WindowId window) override;
  std::u16string Title(WindowId window) override;
  WindowId WindowAt(ScreenPoint point) override;
  WindowId ForegroundFocusWindow() override;
  WindowId OwnFocus() override;
  void FocusWindow(WindowId window) override;
  std::vector<WindowId> Children(WindowId window) override;
  SendResult Send(WindowId window, std::uint32_t msg, std::uintptr_t wParam,
                  std::intptr_t lParam) override;
};

}  // namespace quarn
