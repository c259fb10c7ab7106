// How long a click that the monitor lets pass takes to reach a window: the
// window's receipt time minus the event's own time stamp, over a few hundred
// real X clicks (xdotool), without the monitor, with it idle, and with it
// playing a long macro. Run under Wine from the install folder's build tree;
// prints p50/p99/max in milliseconds.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "../tests/win32/e2e_support.h"

namespace {

using namespace quarn::e2e;

std::vector<long> g_delays;

LRESULT CALLBACK TargetProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_LBUTTONDOWN) g_delays.push_back(static_cast<long>(GetTickCount() - GetMessageTime()));
  return DefWindowProcW(h, m, w, l);
}

void Report(const char* phase) {
  std::vector<long> d = g_delays;
  std::sort(d.begin(), d.end());
  if (d.empty()) {
    std::printf("%-28s no clicks arrived\n", phase);
    return;
  }
  auto at = [&](double q) { return d[std::min(d.size() - 1, static_cast<std::size_t>(q * d.size()))]; };
  std::printf("%-28s clicks %3zu  p50 %ld ms  p99 %ld ms  max %ld ms\n", phase, d.size(), at(0.5),
              at(0.99), d.back());
}

void Clicks(const char* phase) {
  g_delays.clear();
  Xdotool(L"mousemove 250 250");
  Xdotool(L"click --repeat 300 --delay 15 1");
  PumpUntil([] { return g_delays.size() >= 300; }, 15000);
  PumpUntil([] { return false; }, 300);
  Report(phase);
}

// A macro of 200 steps: key taps with 40 ms delays, about 8 s in all.
void LongMacro(TMouseProfileInfo& p) {
  TBUTTONFUNCINFO& b = p.ConfigInfo.ButtonFuncInfo[3];
  b.FunctionKind = FUNCKIND_MACRO;
  b.MenuID = 17;
  TMACROKEYINFO& m = b.MacroKeyInfo;
  std::memset(&m, 0, sizeof m);
  for (int i = 0; i + 2 < MAX_MACRO_STEPS; i += 3) {
    m.MacroList[i] = {MACROKEY_KEYBOARD, 1, {{VK_F13, 0}}};
    m.MacroList[i + 1] = {MACROKEY_KEYBOARD, 2, {{VK_F13, 0}}};
    m.MacroList[i + 2] = {MACROKEY_DELAY, 0, {{120, 0}}};
    m.MacroListCount = i + 3;
  }
  m.nLoopCount = 1;
  m.Version = MACRO_FORMAT_VERSION;
}

}  // namespace

int main() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuarnLatencyTarget";
  RegisterClassW(&wc);
  HWND target = CreateWindowExW(0, wc.lpszClassName, L"target", WS_POPUP | WS_VISIBLE, 100, 100, 300,
                                300, nullptr, nullptr, wc.hInstance, nullptr);
  PumpUntil([] { return false; }, 300);
  Clicks("without the monitor");

  StoreProfiles(LongMacro);
  Monitor monitor;
  if (WaitForMonitorWindow(monitor.pid()) == nullptr) return 1;
  PumpUntil([] { return false; }, 500);
  Clicks("monitor idle");

  Xdotool(L"click 9");  // starts the macro (about 10 s)
  Clicks("monitor playing a macro");
  DestroyWindow(target);
  return 0;
}
