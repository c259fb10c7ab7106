// Timing harness (not a timed test): how closely a fire key and a macro of
// 10 ms delays keep their schedule through the real message-servicing waiter.
// Each event is stamped when the action hands it to the sink; the error is its
// distance from the ideal time, counted from the first event.
//
//   action_timing_bench [--runs N] [--send]
//
// Last, single 10 ms waits are timed against Sleep(10) to show how much of
// the error is the system's scheduling rather than the schedule.
//
// --send also passes the events to SendInput (keys and clicks reach whatever
// has the focus); without it they are only stamped.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "emulated_input.h"
#include "message_waiter.h"
#include "send_input_sink.h"

namespace {

class StampingSink : public quarn::InputSink {
 public:
  StampingSink(quarn::ActionWaiter& clock, quarn::InputSink* forward)
      : clock_(clock), forward_(forward) {}
  std::uint16_t ScanCodeOf(std::uint16_t vk) override {
    return forward_ ? forward_->ScanCodeOf(vk) : 0;
  }
  void SendKey(const quarn::KeyInput& key) override {
    stamps.push_back(clock_.NowMicros());
    if (forward_) forward_->SendKey(key);
  }
  void SendButton(quarn::MouseButton button, bool up) override {
    stamps.push_back(clock_.NowMicros());
    if (forward_) forward_->SendButton(button, up);
  }
  void SendWheel(std::int32_t delta) override {
    stamps.push_back(clock_.NowMicros());
    if (forward_) forward_->SendWheel(delta);
  }
  void SendHWheel(std::int32_t delta) override {
    stamps.push_back(clock_.NowMicros());
    if (forward_) forward_->SendHWheel(delta);
  }
  std::vector<std::int64_t> stamps;

 private:
  quarn::ActionWaiter& clock_;
  quarn::InputSink* forward_;
};

struct Result {
  double meanAbsMs = 0;
  double maxAbsMs = 0;
  double endErrorMs = 0;  // duration of the whole action minus its ideal duration
};

Result Measure(const std::vector<std::int64_t>& stamps, std::int64_t end, double stepMs,
               double idealTotalMs) {
  Result r;
  if (stamps.empty()) return r;
  for (std::size_t i = 0; i < stamps.size(); ++i) {
    const double err = static_cast<double>(stamps[i] - stamps[0]) / 1000.0 - stepMs * i;
    r.meanAbsMs += std::fabs(err);
    r.maxAbsMs = std::max(r.maxAbsMs, std::fabs(err));
  }
  r.meanAbsMs /= static_cast<double>(stamps.size());
  r.endErrorMs = static_cast<double>(end - stamps[0]) / 1000.0 - idealTotalMs;
  return r;
}

template <typename Play>
void Scenario(const char* name, int runs, bool send, double stepMs, double idealTotalMs,
              Play play) {
  quarn::MessageWaiter waiter;
  quarn::SendInputSink real;
  Result worst, sum;
  for (int run = 0; run < runs; ++run) {
    StampingSink sink(waiter, send ? &real : nullptr);
    std::int64_t end = 0;
    {
      quarn::ActionRun action(sink, waiter, [] { return false; });
      play(action);
      end = waiter.NowMicros();
    }
    const Result r = Measure(sink.stamps, end, stepMs, idealTotalMs);
    sum.meanAbsMs += r.meanAbsMs;
    sum.endErrorMs += r.endErrorMs;
    worst.maxAbsMs = std::max(worst.maxAbsMs, r.maxAbsMs);
    worst.endErrorMs = std::max(worst.endErrorMs, std::fabs(r.endErrorMs));
  }
  std::printf(
      "%-36s runs %2d  mean |error| %6.3f ms  max |error| %6.3f ms  "
      "end error mean %+7.3f ms (worst %6.3f)\n",
      name, runs, sum.meanAbsMs / runs, worst.maxAbsMs, sum.endErrorMs / runs, worst.endErrorMs);
}

// Lateness of single waits of `ms`, through the waiter and through Sleep for
// comparison: median, 95th percentile and maximum.
void SingleWaits(int count, std::uint32_t ms) {
  quarn::MessageWaiter waiter;
  auto report = [&](const char* name, auto wait) {
    std::vector<double> late;
    for (int i = 0; i < count; ++i) {
      const std::int64_t start = waiter.NowMicros();
      wait();
      late.push_back(static_cast<double>(waiter.NowMicros() - start) / 1000.0 - ms);
    }
    std::sort(late.begin(), late.end());
    std::printf("%-36s n %3d  late median %6.3f ms  p95 %6.3f ms  max %6.3f ms\n", name, count,
                late[late.size() / 2], late[late.size() * 95 / 100], late.back());
  };
  char name[64];
  std::snprintf(name, sizeof name, "waiter: single %u ms waits", ms);
  report(name, [&] { waiter.Wait(ms); });
  std::snprintf(name, sizeof name, "Sleep(%u) for comparison", ms);
  report(name, [&] { Sleep(ms); });
}

TMACROKEY Step(std::uint16_t type, std::uint16_t state, std::uint8_t v1, std::uint8_t v2) {
  TMACROKEY k{};
  k.nKeyType = type;
  k.nKeyState = state;
  k.VALUE1 = v1;
  k.VALUE2 = v2;
  return k;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  bool send = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    if (!std::strcmp(argv[i], "--send")) send = true;
  }

  Scenario("fire key 3 x 60 ms", runs, send, 60, 360, [](quarn::ActionRun& run) {
    PlayFireKey(run, {3, 60});
  });
  Scenario("fire key 50 x 10 ms", runs, send, 10, 1000, [](quarn::ActionRun& run) {
    PlayFireKey(run, {50, 10});
  });

  // 50 delay steps of 10 ms, each after a key event (F24, which nothing uses).
  TMACROKEYINFO macro{};
  for (int i = 0; i < 50; ++i) {
    macro.MacroList[2 * i] = Step(MACROKEY_KEYBOARD, i % 2 == 0 ? 1 : 0, VK_F24, 0);
    macro.MacroList[2 * i + 1] = Step(MACROKEY_DELAY, 0, 10, 0);
  }
  macro.MacroListCount = 100;
  Scenario("macro 50 steps x 10 ms", runs, send, 10, 500,
           [&](quarn::ActionRun& run) { PlayMacro(run, macro); });
  SingleWaits(100 * runs / 5 + 20, 10);
  return 0;
}
