#include "send_input_sink.h"

#include <windows.h>

namespace quarn {

std::uint16_t SendInputSink::ScanCodeOf(std::uint16_t vk) {
  return static_cast<std::uint16_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) & 0xFF);
}

void SendInputSink::SendKey(const KeyInput& key) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key.vk;
  in.ki.wScan = key.scan;
  in.ki.dwFlags = (key.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (key.up ? KEYEVENTF_KEYUP : 0);
  SendInput(1, &in, sizeof(INPUT));
}

void SendInputSink::SendButton(MouseButton button, bool up) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  switch (button) {
    case MouseButton::Left:
      in.mi.dwFlags = up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
      break;
    case MouseButton::Right:
      in.mi.dwFlags = up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
      break;
    case MouseButton::Middle:
      in.mi.dwFlags = up ? MOUSEEVENTF_MIDDLEUP : MOUSEEVENTF_MIDDLEDOWN;
      break;
    case MouseButton::X1:
    case MouseButton::X2:
      in.mi.dwFlags = up ? MOUSEEVENTF_XUP : MOUSEEVENTF_XDOWN;
      in.mi.mouseData = button == MouseButton::X1 ? XBUTTON1 : XBUTTON2;
      break;
  }
  SendInput(1, &in, sizeof(INPUT));
}

void SendInputSink::SendWheel(std::int32_t delta) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_WHEEL;
  in.mi.mouseData = static_cast<DWORD>(delta);
  SendInput(1, &in, sizeof(INPUT));
}

void SendInputSink::SendHWheel(std::int32_t delta) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_HWHEEL;
  in.mi.mouseData = static_cast<DWORD>(delta);
  SendInput(1, &in, sizeof(INPUT));
}

}  // namespace quarn
