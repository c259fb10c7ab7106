// Recording seams of the configuration window's logic. Every fake writes into
// one shared ordered log, so that a rule about order is one comparison.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "config_seams.h"
#include "memory_stores.h"

namespace quarn::testing {

inline std::string Narrow(std::u16string_view s) {
  std::string r;
  for (char16_t c : s) r.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return r;
}

class EventLog {
 public:
  void Add(std::string entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
  }
  std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }
  // Entries that start with `prefix`.
  std::vector<std::string> With(const std::string& prefix) const {
    std::vector<std::string> r;
    for (const auto& e : Entries())
      if (e.rfind(prefix, 0) == 0) r.push_back(e);
    return r;
  }
  // Position of the first entry starting with `prefix`; -1 when there is none.
  int IndexOf(const std::string& prefix) const {
    const auto all = Entries();
    for (std::size_t i = 0; i < all.size(); ++i)
      if (all[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
};

// Stores that log each write ("reg:<value>", "file:<name>", with "!" when refused).
class LoggingRegistry final : public RegistryStore {
 public:
  LoggingRegistry(RegistryStore& inner, EventLog& log) : inner_(inner), log_(log) {}
  StoreStatus ReadBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                         std::vector<std::uint8_t>& data) override {
    return inner_.ReadBinary(root, key, name, data);
  }
  bool WriteBinary(RegRoot root, std::u16string_view key, std::u16string_view name,
                   const std::uint8_t* data, std::size_t size) override {
    const bool ok = inner_.WriteBinary(root, key, name, data, size);
    log_.Add((ok ? "reg:" : "reg!:") + Narrow(name));
    return ok;
  }

 private:
  RegistryStore& inner_;
  EventLog& log_;
};

class LoggingFiles final : public FileStore {
 public:
  LoggingFiles(FileStore& inner, EventLog& log) : inner_(inner), log_(log) {}
  StoreStatus ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& data) override {
    return inner_.ReadWholeFile(path, data);
  }
  bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                      std::size_t size) override {
    const bool ok = inner_.WriteWholeFile(path, data, size);
    log_.Add((ok ? "file:" : "file!:") + Narrow(NamePart(path)));
    return ok;
  }
  bool FileExists(std::u16string_view path) override { return inner_.FileExists(path); }
  bool DirectoryExists(std::u16string_view path) override { return inner_.DirectoryExists(path); }
  bool CreateFolder(std::u16string_view path) override { return inner_.CreateFolder(path); }

 private:
  FileStore& inner_;
  EventLog& log_;
};

class RecordingMonitor final : public MonitorLink {
 public:
  explicit RecordingMonitor(EventLog& log) : log_(log) {}
  bool ActivateMonitor() override {
    log_.Add("monitor:activate");
    return running;
  }
  bool StartMonitor() override {
    log_.Add("monitor:start");
    return true;
  }
  bool SendToMonitor(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override {
    log_.Add("monitor:send " + std::to_string(message) + " " + std::to_string(wParam) + " " +
             std::to_string(lParam));
    if (onSend) onSend(message);
    return running;
  }
  bool running = true;
  std::function<void(std::uint32_t)> onSend;

 private:
  EventLog& log_;
};

class RecordingMouseSettings final : public MouseSettingsWriter {
 public:
  explicit RecordingMouseSettings(EventLog& log) : log_(log) {}
  bool SetMouseAcceleration(const MouseAccelerationTriple& t) override {
    if (beforeEachJob) beforeEachJob();
    log_.Add("spi:mouse " + std::to_string(t.Threshold1) + " " + std::to_string(t.Threshold2) +
             " " + std::to_string(t.Acceleration));
    return true;
  }
  bool SetMouseSpeed(std::int32_t v) override {
    log_.Add("spi:speed " + std::to_string(v));
    return true;
  }
  bool SetWheelScrollLines(std::int32_t v) override {
    log_.Add("spi:lines " + std::to_string(v));
    return true;
  }
  bool SetMouseTrails(std::int32_t v) override {
    log_.Add("spi:trails " + std::to_string(v));
    return true;
  }
  // Runs at the start of each job (its first call), e.g. to make a job slow.
  std::function<void()> beforeEachJob;

 private:
  EventLog& log_;
};

// Keeps posted jobs until told to run them; waiting runs them all.
class ManualWorker final : public SettingsWorker {
 public:
  explicit ManualWorker(EventLog& log) : log_(log) {}
  void Post(std::function<void()> job) override {
    log_.Add("worker:post");
    jobs.push_back(std::move(job));
  }
  bool WaitIdle(std::chrono::milliseconds limit) override {
    log_.Add("worker:wait " + std::to_string(limit.count()));
    RunAll();
    return true;
  }
  void RunAll() {
    while (!jobs.empty()) {
      auto job = std::move(jobs.front());
      jobs.pop_front();
      job();
    }
  }
  std::deque<std::function<void()>> jobs;

 private:
  EventLog& log_;
};

class RecordingDevice final : public LightingDevice {
 public:
  explicit RecordingDevice(EventLog& log) : log_(log) {}
  void WriteLedSettingsToDevice(int profileIndex, const TMouseProfileInfo& p) override {
    const TLEDCONFIG& led = p.ConfigInfo.LEDConfig;
    log_.Add("device:led " + std::to_string(profileIndex) + " " + std::to_string(led.R) + " " +
             std::to_string(led.G) + " " + std::to_string(led.B));
  }

 private:
  EventLog& log_;
};

class ManualTimer final : public ActionTimer {
 public:
  explicit ManualTimer(EventLog& log) : log_(log) {}
  void Start(std::uint32_t ms) override {
    log_.Add("timer:start " + std::to_string(ms));
    running = true;
  }
  void Stop() override { running = false; }
  bool running = false;

 private:
  EventLog& log_;
};

struct NoteCall {
  std::u16string title, text, text1;
  bool warning = false;
  ScreenRect rect;
};

// Answers note dialogs from a script; `whileOpen` runs as if the user and
// other programs acted while the dialog is shown.
class ScriptedDialogs final : public ConfigDialogs {
 public:
  explicit ScriptedDialogs(EventLog& log) : log_(log) {}
  int ShowNoteDialog(const std::u16string& title, const std::u16string& text,
                     const std::u16string& text1, bool showWarning,
                     const ScreenRect& centreIn) override {
    log_.Add("dialog:note " + Narrow(title));
    calls.push_back({title, text, text1, showWarning, centreIn});
    closedWhileOpen = false;
    if (whileOpen) whileOpen();
    if (closedWhileOpen) return 2;
    return answer;
  }
  void CloseOpenDialogs() override {
    log_.Add("dialogs:close");
    closedWhileOpen = true;
  }
  int answer = 2;
  std::function<void()> whileOpen;
  std::vector<NoteCall> calls;
  bool closedWhileOpen = false;

 private:
  EventLog& log_;
};

class RecordingWindow final : public ConfigWindow {
 public:
  explicit RecordingWindow(EventLog& log) : log_(log) {}
  void CloseWindow() override { log_.Add("window:close"); }
  void PostToSelf(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override {
    log_.Add("window:post " + std::to_string(message) + " " + std::to_string(wParam) + " " +
             std::to_string(lParam));
    posted.push_back({message, wParam});
  }
  void ReplyToSender() override {
    log_.Add("window:reply");
    if (onReply) onReply();
  }
  void Restore() override { log_.Add("window:restore"); }
  void ClientToScreen(std::int32_t& x, std::int32_t& y) override {
    x += originX;
    y += originY;
  }
  std::int32_t originX = 0, originY = 0;
  std::vector<std::pair<std::uint32_t, std::uint64_t>> posted;
  std::function<void()> onReply;

 private:
  EventLog& log_;
};

}  // namespace quarn::testing
