// Cost of the mouse callback per event, as the hook library calls it for every
// mouse event of the desktop: the monitor's full filter list (five buttons and
// both wheel directions) and a mixed stream of moves, clicks, side buttons,
// wheel steps and injected events.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "fake_hook_platform.h"
#include "vn_hook.h"

namespace {

using quarn::MouseHookRecord;
using quarn::testing::FakeHookPlatform;
using quarn::testing::MouseAt;

struct Event {
  std::uintptr_t message;
  MouseHookRecord record;
};

// Mostly moves, as from a real mouse, unless `withMoves` is false: then only
// the button and wheel events, the path that walks the filter list.
std::vector<Event> MixedStream(bool withMoves) {
  std::vector<Event> events;
  std::uint32_t t = 1000;
  for (int i = 0; i < 64; ++i) {
    for (int m = 0; withMoves && m < 12; ++m)
      events.push_back({0x200, MouseAt(++t, 0, i * 3 + m, 400 - m)});
    switch (i % 8) {
      case 0:
        events.push_back({0x201, MouseAt(++t)});
        events.push_back({0x202, MouseAt(++t)});
        break;
      case 1:
        events.push_back({0x204, MouseAt(++t)});
        events.push_back({0x205, MouseAt(++t)});
        break;
      case 2:
        events.push_back({0x20A, MouseAt(++t, 120)});
        break;
      case 3:
        events.push_back({0x20A, MouseAt(++t, -120)});
        break;
      case 4:
        events.push_back({0x20B, MouseAt(++t, 1)});
        events.push_back({0x20C, MouseAt(++t, 1)});
        break;
      case 5:
        events.push_back({0x20B, MouseAt(++t, 2)});
        events.push_back({0x20C, MouseAt(++t, 2)});
        break;
      case 6:
        events.push_back({0x201, MouseAt(++t, 0, 0, 0, true)});
        break;  // our own click
      case 7:
        events.push_back({0x207, MouseAt(++t)});
        events.push_back({0x208, MouseAt(++t)});
        break;
    }
  }
  return events;
}

void AddFilter(TvnHook& hook, TMouseButtons button, TMouseButtonStateSet states,
               TMouseButtons modified) {
  auto f = std::make_unique<TMouseHookDetailObject>();
  f->FMouseHookDetail.MouseButton = button;
  f->FMouseHookDetail.MouseStateSet = states;
  f->FMouseHookDetail.ModifiedFunction = modified;
  hook.AddMouseHookObject(std::move(f));
}

void BM_MouseHookProc(benchmark::State& state) {
  FakeHookPlatform platform;
  TvnHook hook(platform);
  // Left and right keep their functions; the rest are reassigned.
  AddFilter(hook, LCLICK, {LBUTTONDOWN, LBUTTONUP}, LCLICK);
  AddFilter(hook, RCLICK, {RBUTTONDOWN, RBUTTONUP}, RCLICK);
  AddFilter(hook, MCLICK, {MBUTTONDOWN, MBUTTONUP}, BUTTON_NONE);
  AddFilter(hook, XCLICK5, {XBUTTONDOWN, XBUTTONUP}, BUTTON_NONE);
  AddFilter(hook, XCLICK4, {XBUTTONDOWN, XBUTTONUP}, BUTTON_NONE);
  AddFilter(hook, WHEELUP, {MOUSEWHEEL}, BUTTON_NONE);
  AddFilter(hook, WHEELDOWN, {MOUSEWHEEL}, BUTTON_NONE);
  std::uint64_t reported = 0;
  hook.OnHookMouseButton = [&reported](TvnHook&, TMouseButtons, std::int32_t, bool& blocked) {
    ++reported;  // the monitor only posts a message here
    blocked = true;
  };
  hook.StartHookMouse();

  const std::vector<Event> events = MixedStream(state.range(0) != 0);
  TLowLevelHookCallback callback = platform.library.mouseCallback;
  void* context = platform.library.mouseContext;
  for (auto _ : state) {
    for (const Event& e : events) {
      std::uint8_t blocked = 0;
      callback(context, 0, e.message, reinterpret_cast<std::intptr_t>(&e.record), &blocked);
      benchmark::DoNotOptimize(blocked);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * events.size()));
  state.counters["reported"] = static_cast<double>(reported);
}
// Argument 1: the mixed stream with moves; 0: button and wheel events only.
BENCHMARK(BM_MouseHookProc)->Arg(1)->Arg(0);

}  // namespace

BENCHMARK_MAIN();
