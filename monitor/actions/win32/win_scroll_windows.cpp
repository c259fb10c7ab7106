#include "win_scroll_windows.h"

#include <windows.h>

#include "wide.h"

namespace quarn {

namespace {

HWND H(WindowId w) {
  return reinterpret_cast<HWND>(w);
}
WindowId Id(HWND h) {
  return reinterpret_cast<WindowId>(h);
}

// A buffer of 255 characters, terminator included.
constexpr int kNameBuffer = 255;
// More children than any real window has: the rest are not looked at.
constexpr std::size_t kMaxChildren = 4096;

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* out = reinterpret_cast<std::vector<WindowId>*>(param);
  out->push_back(Id(child));
  return out->size() < kMaxChildren;
}

}  // namespace

ScreenPoint WinScrollWindows::CursorPos() {
  POINT pt{};
  GetCursorPos(&pt);
  return {pt.x, pt.y};
}

WindowId WinScrollWindows::Foreground() {
  return Id(GetForegroundWindow());
}

std::u16string WinScrollWindows::ClassName(WindowId window) {
  if (window == 0) return {};
  wchar_t buf[kNameBuffer];
  const int n = GetClassNameW(H(window), buf, kNameBuffer);
  return n > 0 ? FromWide(std::wstring_view(buf, static_cast<std::size_t>(n))) : std::u16string{};
}

std::u16string WinScrollWindows::Title(WindowId window) {
  if (window == 0) return {};
  // Another program's title is read without a message to it.
  wchar_t buf[kNameBuffer];
  const int n = GetWindowTextW(H(window), buf, kNameBuffer);
  return n > 0 ? FromWide(std::wstring_view(buf, static_cast<std::size_t>(n))) : std::u16string{};
}

WindowId WinScrollWindows::WindowAt(ScreenPoint point) {
  return Id(WindowFromPoint(POINT{point.x, point.y}));
}

WindowId WinScrollWindows::ForegroundFocusWindow() {
  HWND ownFocus = GetFocus();
  HWND foreground = GetForegroundWindow();
  if (foreground == nullptr) return 0;
  const DWORD own = GetCurrentThreadId();
  const DWORD other = GetWindowThreadProcessId(foreground, nullptr);
  if (other == own) return Id(ownFocus);
  if (other == 0 || !AttachThreadInput(own, other, TRUE)) return 0;
  HWND focus = GetFocus();
  AttachThreadInput(own, other, FALSE);
  return Id(focus);
}

WindowId WinScrollWindows::OwnFocus() {
  return Id(GetFocus());
}

void WinScrollWindows::FocusWindow(WindowId window) {
  if (window == 0) return;
  // The focus of another thread's window is set with that thread's input attached.
  const DWORD own = GetCurrentThreadId();
  const DWORD other = GetWindowThreadProcessId(H(window), nullptr);
  const bool attached = other != 0 && other != own && AttachThreadInput(own, other, TRUE);
  SetFocus(H(window));
  if (attached) AttachThreadInput(own, other, FALSE);
}

std::vector<WindowId> WinScrollWindows::Children(WindowId window) {
  std::vector<WindowId> out;
  if (window != 0) EnumChildWindows(H(window), &CollectChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

SendResult WinScrollWindows::Send(WindowId window, std::uint32_t msg, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
  DWORD_PTR result = 0;
  // SMTO_NORMAL: messages sent to this thread (the hook's among them) are
  // handled while it waits.
  if (SendMessageTimeoutW(H(window), msg, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                          SEND_TIMEOUT_MS, &result) != 0)
    return SendResult::Delivered;
  return IsWindow(H(window)) ? SendResult::TimedOut : SendResult::Failed;
}

}  // namespace quarn
