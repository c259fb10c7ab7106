// Timing harness (not a timed test) of sideways scrolling through the installed
// monitor: the time from starting `xdotool click 8` (X button 1, given "Scroll
// Left") to the arrival of WM_MOUSEHWHEEL in a browser-frame window of this
// program, side by side in the same run with the time from `xdotool click 1`
// to the arrival of that click through the monitor's hook, and with the same
// click once the monitor has gone. All three include starting xdotool and X's
// delivery to Wine, so the differences are what the monitor adds.
//
//   monitor_scroll_bench [--runs N]
//
// Exits 1 when a press did not arrive.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "e2e_support.h"
#include "function_ids.h"
#include "scroll_probe.h"

namespace {

using namespace quarn::e2e;
using Clock = std::chrono::steady_clock;

struct Series {
  const char* name;
  std::vector<double> ms;
  int lost = 0;
};

double Percentile(std::vector<double> v, int p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t i = std::min(v.size() - 1, (v.size() * static_cast<std::size_t>(p)) / 100);
  return v[i];
}

void Print(const Series& s) {
  std::printf("%-40s n %3zu  p50 %7.2f ms  p99 %7.2f ms  max %7.2f ms  lost %d\n", s.name,
              s.ms.size(), Percentile(s.ms, 50), Percentile(s.ms, 99),
              s.ms.empty() ? 0.0 : *std::max_element(s.ms.begin(), s.ms.end()), s.lost);
}

void Idle(int ms) {
  PumpUntil([] { return false; }, ms);
}

// Starts xdotool with `args` and times the first `msg` that reaches `probe`.
void TimeOne(Series& s, ScrollProbe& probe, const wchar_t* args, UINT msg) {
  probe.received.clear();
  const auto start = Clock::now();
  if (!LaunchXdotool(args) || !PumpUntil([&] { return probe.Count(msg) > 0; }, 3000)) {
    ++s.lost;
    return;
  }
  s.ms.push_back(std::chrono::duration<double, std::milli>(probe.First(msg)->at - start).count());
  Idle(60);  // the release, and no double click with the next one
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 40;
  for (int i = 1; i < argc; ++i)
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));

  StoreProfiles([](TMouseProfileInfo& p) {
    auto& b = p.ConfigInfo.ButtonFuncInfo;
    b[4].FunctionKind = FUNCKIND_BASIC;
    b[4].MenuID = MENUID_SCROLL_LEFT;
  });
  ScrollProbe probe(L"MozillaUIWindowClass", WS_POPUP | WS_VISIBLE, 100, 100, 300, 300);
  auto monitor = std::make_unique<Monitor>();
  if (!monitor->started() || WaitForMonitorWindow(monitor->pid()) == nullptr) {
    std::fprintf(stderr, "the monitor did not start\n");
    return 1;
  }
  Idle(500);
  LaunchXdotool(L"mousemove 250 250 click 1");
  Idle(400);
  SetForegroundWindow(probe.hwnd());
  SetFocus(probe.hwnd());
  Idle(200);

  Series scroll{"Scroll Left press to WM_MOUSEHWHEEL", {}};
  Series click{"baseline: click through the monitor", {}};
  Series bare{"baseline: click, monitor stopped", {}};
  for (int i = 0; i < runs; ++i) {
    TimeOne(scroll, probe, L"click 8", WM_MOUSEHWHEEL);
    TimeOne(click, probe, L"click 1", WM_LBUTTONDOWN);
  }
  monitor.reset();
  Idle(300);
  for (int i = 0; i < runs; ++i) TimeOne(bare, probe, L"click 1", WM_LBUTTONDOWN);

  Print(scroll);
  Print(click);
  Print(bare);
  std::printf("scroll minus click through the monitor: p50 %+.2f ms\n",
              Percentile(scroll.ms, 50) - Percentile(click.ms, 50));
  return scroll.lost + click.lost + bare.lost == 0 ? 0 : 1;
}
