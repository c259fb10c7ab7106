// Timing harness of quarncfg.exe from the install folder under Wine:
//   start-up: from CreateProcess to the first frame on the screen (a pixel of the
//   window's face read back from the screen), beside an empty Win32 window program
//   started the same way in the same run;
//   apply: from the release on APPLY to its end, which includes the monitor's reload
//   (the apply waits for the monitor to handle its message).
// Prints p50 and p99 of each. Usage: config_start_bench [--runs N]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "main_window_scene.h"
#include "mon_commands.h"
#include "window_messages.h"

namespace {

using Clock = std::chrono::steady_clock;
using G = quarn::MainWindowGeometry;

std::wstring DistFolder() {
  std::wstring unixPath = QUARN_DIST_DIR_W;
  for (auto& c : unixPath)
    if (c == L'/') c = L'\\';
  return L"Z:" + unixPath + L"\\";
}

void Pump(int ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

bool Start(const std::wstring& exe, PROCESS_INFORMATION& pi) {
  std::wstring cmd = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        DistFolder().c_str(), &si, &pi) != FALSE;
}

void End(PROCESS_INFORMATION& pi, const wchar_t* className) {
  if (HWND w = FindWindowW(className, nullptr)) PostMessageW(w, WM_TERMINATE_CONFIG, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

// Milliseconds from the start of `exe` until the screen shows `colour` at the client
// point (x, y) of a centred 1024 x 760 window; -1 on time-out.
double TimeToFirstFrame(const std::wstring& exe, const wchar_t* className, int x, int y,
                        COLORREF colour) {
  const int sx = (GetSystemMetrics(SM_CXSCREEN) - 1024) / 2 + x;
  const int sy = (GetSystemMetrics(SM_CYSCREEN) - 760) / 2 + y;
  HDC screen = GetDC(nullptr);
  PROCESS_INFORMATION pi{};
  const auto start = Clock::now();
  if (!Start(exe, pi)) return -1;
  double ms = -1;
  while (Clock::now() - start < std::chrono::seconds(20)) {
    if (GetPixel(screen, sx, sy) == colour) {
      ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    Pump(1);
  }
  ReleaseDC(nullptr, screen);
  End(pi, className);
  Pump(200);
  return ms;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  const std::size_t i = std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5));
  return v[i];
}

void Report(const char* what, const std::vector<double>& v) {
  std::printf("%-34s runs %2zu  p50 %8.1f ms  p99 %8.1f ms\n", what, v.size(), Percentile(v, 0.5),
              Percentile(v, 0.99));
}

LRESULT CALLBACK Quiet(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcW(h, m, w, l);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 10;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
  const std::wstring cfg = DistFolder() + L"quarncfg.exe";
  // The baseline program lies beside this one.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring empty = self;
  empty = empty.substr(0, empty.find_last_of(L'\\') + 1) + L"quarn_empty_window.exe";
  // The logo picture's background: the language base colour of 0409 plus 7 x 12 green.
  const COLORREF logo = RGB(0x14, 0x3C + 7 * 12, 0x8C);

  std::vector<double> startEmpty, startCfg, apply;
  int failures = 0;
  {
    // A stand-in monitor: quarncfg starts none while it is there.
    WNDCLASSW wc{};
    wc.lpfnWndProc = Quiet;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TQUARNMonMain";
    RegisterClassW(&wc);
    HWND standIn = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    for (int i = 0; i < runs; ++i) {
      const double e = TimeToFirstFrame(empty, L"QuarnEmptyWindow", 500, 400, RGB(200, 40, 120));
      const double c = TimeToFirstFrame(cfg, L"TQUARNCfgMain", 40, 35, logo);
      if (e < 0 || c < 0) ++failures;
      if (e >= 0) startEmpty.push_back(e);
      if (c >= 0) startCfg.push_back(c);
    }
    DestroyWindow(standIn);
  }

  // APPLY with the real monitor.
  PROCESS_INFORMATION mon{}, config{};
  if (Start(DistFolder() + L"quarnmon.exe", mon)) {
    Pump(1500);
    if (Start(cfg, config)) {
      HWND w = nullptr;
      for (int i = 0; i < 2000 && !(w = FindWindowW(L"TQUARNCfgMain", nullptr)); ++i) Pump(5);
      Pump(500);
      const auto r = G::StripButton(quarn::ConfigMainController::kApply);
      const LPARAM at = MAKELPARAM(int(r.x + r.width / 2), int(r.y + r.height / 2));
      for (int i = 0; w && i < runs; ++i) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(w, WM_MOUSEMOVE, 0, at, SMTO_NORMAL, 5000, &result);
        SendMessageTimeoutW(w, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_NORMAL, 5000, &result);
        const auto t0 = Clock::now();
        if (SendMessageTimeoutW(w, WM_LBUTTONUP, 0, at, SMTO_NORMAL, 10000, &result))
          apply.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        else
          ++failures;
        Pump(50);
      }
      End(config, L"TQUARNCfgMain");
    }
    if (HWND m = FindWindowW(L"TQUARNMonMain", nullptr)) PostMessageW(m, WM_COMMAND, IDM_EXIT, 0);
    if (WaitForSingleObject(mon.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(mon.hProcess, 9);
    CloseHandle(mon.hThread);
    CloseHandle(mon.hProcess);
  }

  Report("start-up, empty Win32 window", startEmpty);
  Report("start-up, quarncfg first frame", startCfg);
  if (!startEmpty.empty() && !startCfg.empty())
    std::printf("ratio of the medians: %.2f\n",
                Percentile(startCfg, 0.5) / Percentile(startEmpty, 0.5));
  Report("APPLY to monitor's reload done", apply);
  if (failures) std::printf("failed runs: %d\n", failures);
  return failures == 0 && !apply.empty() ? 0 : 1;
}
