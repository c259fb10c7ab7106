// Fakes for the action tests: a virtual clock that moves only when an action
// waits (with messages "sent" to the thread at chosen times and a queue of
// "posted" ones), a sink that records every event with its time, and a host
// that logs its calls into the same record.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "action_waiter.h"
#include "input_sink.h"
#include "monitor_host.h"
#include "profile_records.h"

namespace quarn::testing {

// One line per event or host call, with the virtual time it happened at.
struct ActionLog {
  struct Entry {
    std::int64_t micros;
    std::string text;
  };
  std::vector<Entry> entries;
  std::vector<KeyInput> keys;  // every key event as sent, scan codes included

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.text);
    return out;
  }
  // "t text" with t in milliseconds from `origin`.
  std::vector<std::string> Timed(std::int64_t origin = 0) const {
    std::vector<std::string> out;
    for (const auto& e : entries) {
      char buf[32];
      const std::int64_t d = e.micros - origin;
      if (d % 1000 == 0)
        std::snprintf(buf, sizeof buf, "%lld ", static_cast<long long>(d / 1000));
      else
        std::snprintf(buf, sizeof buf, "%.3f ", static_cast<double>(d) / 1000.0);
      out.push_back(buf + e.text);
    }
    return out;
  }
};

class VirtualWaiter : public ActionWaiter {
 public:
  std::int64_t NowMicros() override { return now_; }

  bool WaitUntil(std::int64_t deadline, const std::function<bool()>& stop) override {
    ++waits;
    // Messages sent to the thread while it waits are serviced at their time.
    while (!sent_.empty() && sent_.begin()->first <= deadline) {
      auto it = sent_.begin();
      now_ = std::max(now_, it->first);
      auto handler = std::move(it->second);
      sent_.erase(it);
      handler();
      if (stop && stop()) return false;
    }
    now_ = std::max(now_, deadline);
    return true;
  }

  bool ProcessPendingMessages() override {
    ++pumps;
    ++pumpDepth_;
    maxPumpDepth = std::max(maxPumpDepth, pumpDepth_);
    while (!posted_.empty()) {
      auto handler = std::move(posted_.front());
      posted_.pop_front();
      handler();
    }
    --pumpDepth_;
    return !quitting;
  }

  // A message sent to the thread at `ms` (absolute virtual time).
  void SendAt(double ms, std::function<void()> handler) {
    sent_.emplace(static_cast<std::int64_t>(ms * 1000), std::move(handler));
  }
  // A message posted to the thread's queue.
  void Post(std::function<void()> handler) { posted_.push_back(std::move(handler)); }
  // Advances the clock without any action waiting (time between messages).
  void Advance(double ms) { now_ += static_cast<std::int64_t>(ms * 1000); }

  bool quitting = false;
  int waits = 0;
  int pumps = 0;
  int maxPumpDepth = 0;  // queue processing nested inside queue processing, at most

 private:
  int pumpDepth_ = 0;
  std::int64_t now_ = 0;
  std::multimap<std::int64_t, std::function<void()>> sent_;
  std::deque<std::function<void()>> posted_;
};

// Scan codes of the fake layout: recognisably derived from the virtual key.
constexpr std::uint16_t FakeScanCode(std::uint16_t vk) {
  return static_cast<std::uint16_t>(0x100 + vk);
}

class RecordingSink : public InputSink {
 public:
  RecordingSink(ActionLog& log, ActionWaiter& clock) : log_(log), clock_(clock) {}

  std::uint16_t ScanCodeOf(std::uint16_t vk) override { return FakeScanCode(vk); }

  void SendKey(const KeyInput& key) override {
    char buf[32];
    std::snprintf(buf, sizeof buf, "key %02X%s %s", key.vk, key.extended ? " ext" : "",
                  key.up ? "up" : "down");
    Add(buf);
    log_.keys.push_back(key);
  }
  void SendButton(MouseButton button, bool up) override {
    static const char* const names[] = {"left", "right", "middle", "x1", "x2"};
    Add(std::string(names[static_cast<int>(button)]) + (up ? " up" : " down"));
  }
  void SendWheel(std::int32_t delta) override {
    char buf[32];
    std::snprintf(buf, sizeof buf, "wheel %+d", delta);
    Add(buf);
  }
  void SendHWheel(std::int32_t delta) override {
    char buf[32];
    std::snprintf(buf, sizeof buf, "hwheel %+d", delta);
    Add(buf);
  }

 private:
  void Add(std::string text) { log_.entries.push_back({clock_.NowMicros(), std::move(text)}); }
  ActionLog& log_;
  ActionWaiter& clock_;
};

class FakeHost : public MonitorHost {
 public:
  FakeHost(ActionLog& log, ActionWaiter& clock)
      : profile(std::make_unique<TMouseProfileInfo>()), log_(log), clock_(clock) {}

  const TMouseProfileInfo& CurrentProfile() const override { return *profile; }
  int CurrentProfileIndex() const override { return index; }
  void SwitchToNextProfile() override {
    index = index == 4 ? 0 : index + 1;
    Add("next profile " + std::to_string(index));
  }
  void SelectProfile(int i) override {
    index = i;
    Add("select profile " + std::to_string(i));
  }
  void StartOrActivateConfig() override { Add("config"); }
  void PlayNotificationSound() override { Add("sound"); }
  bool IsWin8() const override { return win8; }
  void OpenProgram(const std::u16string& path) override {
    Add("open " + Narrow(path));
    openedPaths.push_back(path);
  }
  void OpenExistingProgram(const std::u16string& path) override {
    if (existing.count(path) != 0) OpenProgram(path);
  }
  void HorizontalScrollLeft(ActionRun&) override { Add("scroll left"); }
  void HorizontalScrollRight(ActionRun&) override { Add("scroll right"); }
  void ShutDownWindows() override { Add("shut down"); }
  void SuspendWindows() override { Add("suspend"); }
  void OpenMyComputer() override { Add("my computer"); }
  void RunMailClient() override { Add("mail"); }
  void RunCalculator() override { Add("calculator"); }
  void NewWordDocument() override { Add("word"); }
  void NewExcelWorkbook() override { Add("excel"); }

  TBUTTONFUNCINFO& Button(int i) { return profile->ConfigInfo.ButtonFuncInfo[i]; }

  std::unique_ptr<TMouseProfileInfo> profile;
  int index = 0;
  bool win8 = false;
  std::set<std::u16string> existing;
  std::vector<std::u16string> openedPaths;

 private:
  static std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
  void Add(std::string text) { log_.entries.push_back({clock_.NowMicros(), std::move(text)}); }
  ActionLog& log_;
  ActionWaiter& clock_;
};

// Step builders for macros.
inline TMACROKEY KeyStep(std::uint8_t vk, bool down, std::uint8_t extended = 0) {
  TMACROKEY k{};
  k.nKeyType = MACROKEY_KEYBOARD;
  k.nKeyState = down ? 1 : 0;
  k.nKeyValue = vk;
  k.nKeyExtended = extended;
  return k;
}
inline TMACROKEY MouseStep(std::uint8_t button, bool down) {
  TMACROKEY k{};
  k.nKeyType = MACROKEY_MOUSE;
  k.nKeyState = down ? 1 : 0;
  k.MouseKeyValue = button;
  return k;
}
inline TMACROKEY DelayStep(std::uint16_t ms) {
  TMACROKEY k{};
  k.nKeyType = MACROKEY_DELAY;
  k.DELAY_L = static_cast<std::uint8_t>(ms & 0xFF);
  k.DELAY_H = static_cast<std::uint8_t>(ms >> 8);
  return k;
}
inline TMACROKEY RawStep(std::uint16_t type, std::uint16_t state, std::uint8_t v1,
                         std::uint8_t v2) {
  TMACROKEY k{};
  k.nKeyType = type;
  k.nKeyState = state;
  k.VALUE1 = v1;
  k.VALUE2 = v2;
  return k;
}

inline void SetMacro(TMACROKEYINFO& m, const std::vector<TMACROKEY>& steps,
                     std::uint16_t loops = 0) {
  m = TMACROKEYINFO{};
  for (std::size_t i = 0; i < steps.size() && i < MAX_MACRO_STEPS; ++i) m.MacroList[i] = steps[i];
  m.MacroListCount = static_cast<std::int32_t>(steps.size());
  m.nLoopCount = loops;
}

}  // namespace quarn::testing
