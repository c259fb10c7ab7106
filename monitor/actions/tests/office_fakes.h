// Fakes for the scroll and system-action tests: scripted automation objects
// that log every call into one shared list, an automation host with running
// and creatable instances and a running-object table, a desktop of windows
// with class names that logs the messages sent to them, and a system platform
// that logs what it was asked to do.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "automation.h"
#include "horizontal_scroll.h"
#include "system_actions.h"

namespace quarn::testing {

using CallLog = std::vector<std::string>;

inline std::string Narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

inline std::string Describe(const AutoValue& v) {
  switch (v.kind) {
    case AutoValue::Kind::Empty:
      return "empty";
    case AutoValue::Kind::Omitted:
      return "-";
    case AutoValue::Kind::Bool:
      return v.boolean ? "true" : "false";
    case AutoValue::Kind::Int:
      return std::to_string(v.integer);
    case AutoValue::Kind::String:
      return "\"" + Narrow(v.text) + "\"";
    case AutoValue::Kind::Object:
      return v.object ? "object" : "null object";
  }
  return "?";
}

inline std::string DescribeArgs(const std::vector<AutoValue>& args) {
  std::string s = "(";
  for (std::size_t i = 0; i < args.size(); ++i) s += (i ? "," : "") + Describe(args[i]);
  return s + ")";
}

// An object named `name` in the log. Properties answer from `properties`; a
// name in `failing` fails whatever is asked of it.
class ScriptedObject : public AutoObject {
 public:
  ScriptedObject(std::string name, CallLog& log) : name_(std::move(name)), log_(log) {}

  bool Get(const std::u16string& name, AutoValue& out) override {
    log_.push_back(name_ + ".get " + Narrow(name));
    if (failing.count(name)) return false;
    auto it = properties.find(name);
    if (it == properties.end()) return false;
    out = it->second;
    return true;
  }
  bool Put(const std::u16string& name, const AutoValue& value, std::uint32_t lcid) override {
    log_.push_back(name_ + ".put " + Narrow(name) + "=" + Describe(value) + " lcid " +
                   std::to_string(lcid));
    if (failing.count(name)) return false;
    properties[name] = value;
    return true;
  }
  bool Call(const std::u16string& name, const std::vector<AutoValue>& args, std::uint32_t lcid,
            AutoValue*) override {
    log_.push_back(name_ + "." + Narrow(name) + DescribeArgs(args) + " lcid " +
                   std::to_string(lcid));
    return !failing.count(name);
  }
  bool CallId(std::int32_t dispid, const std::vector<AutoValue>& args, AutoValue*) override {
    char id[16];
    std::snprintf(id, sizeof id, "#%X", static_cast<unsigned>(dispid));
    log_.push_back(name_ + "." + id + DescribeArgs(args));
    return !failingIds.count(dispid);
  }

  std::map<std::u16string, AutoValue> properties;
  std::set<std::u16string> failing;
  std::set<std::int32_t> failingIds;

 private:
  std::string name_;
  CallLog& log_;
};

class FakeAutomation : public AutomationHost {
 public:
  explicit FakeAutomation(CallLog& log) : log_(log) {}

  std::shared_ptr<AutoObject> RunningInstance(const std::u16string& progId) override {
    log_.push_back("running " + Narrow(progId));
    auto it = running.find(progId);
    return it == running.end() ? nullptr : it->second;
  }
  std::shared_ptr<AutoObject> NewInstance(const std::u16string& progId) override {
    log_.push_back("new " + Narrow(progId));
    auto it = creatable.find(progId);
    return it == creatable.end() ? nullptr : it->second;
  }
  bool ListRunningObjects(std::vector<RunningEntry>& out) override {
    if (!tableReadable) return false;
    out.clear();
    for (const auto& e : table) out.push_back(e.entry);
    return true;
  }
  std::shared_ptr<AutoObject> RunningWorkbook(std::size_t index) override {
    if (index >= table.size()) return nullptr;
    log_.push_back("workbook of " + Narrow(table[index].entry.displayName));
    return table[index].workbook;
  }
  std::uint32_t UserDefaultLcid() override { return 0x0409; }

  struct TableEntry {
    RunningEntry entry;
    std::shared_ptr<AutoObject> workbook;  // null: no workbook interface
  };
  std::map<std::u16string, std::shared_ptr<AutoObject>> running, creatable;
  std::vector<TableEntry> table;
  bool tableReadable = true;

 private:
  CallLog& log_;
};

class FakeWindows : public ScrollWindows {
 public:
  explicit FakeWindows(CallLog& log) : log_(log) {}

  ScreenPoint CursorPos() override { return cursor; }
  WindowId Foreground() override { return foreground; }
  std::u16string ClassName(WindowId w) override {
    auto it = classes.find(w);
    return it == classes.end() ? u"" : it->second;
  }
  std::u16string Title(WindowId w) override {
    auto it = titles.find(w);
    return it == titles.end() ? u"" : it->second;
  }
  WindowId WindowAt(ScreenPoint) override { return underCursor; }
  WindowId ForegroundFocusWindow() override { return foregroundFocus; }
  WindowId OwnFocus() override { return ownFocus; }
  void FocusWindow(WindowId w) override { log_.push_back("focus " + std::to_string(w)); }
  std::vector<WindowId> Children(WindowId w) override {
    auto it = children.find(w);
    return it == children.end() ? std::vector<WindowId>{} : it->second;
  }
  SendResult Send(WindowId w, std::uint32_t msg, std::uintptr_t wParam,
                  std::intptr_t lParam) override {
    char buf[96];
    std::snprintf(buf, sizeof buf, "send %u %s %llX %llX", static_cast<unsigned>(w),
                  msg == WM_MOUSEHWHEEL_ ? "hwheel"
                  : msg == WM_HSCROLL_   ? "hscroll"
                                         : "?",
                  static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    log_.push_back(buf);
    return hung.count(w) ? SendResult::TimedOut : SendResult::Delivered;
  }

  ScreenPoint cursor{0x123, 0x45};
  WindowId foreground = 0, underCursor = 0, foregroundFocus = 0, ownFocus = 0;
  std::map<WindowId, std::u16string> classes, titles;
  std::map<WindowId, std::vector<WindowId>> children;
  std::set<WindowId> hung;

 private:
  CallLog& log_;
};

class FakePlatform : public SystemPlatform {
 public:
  explicit FakePlatform(CallLog& log) : log_(log) {}

  bool SetProcessPrivilege(const std::u16string& name, bool enable,
                           std::u16string& errorText) override {
    log_.push_back("privilege " + Narrow(name) + (enable ? " on" : " off"));
    if (privilegeError.empty()) return true;
    errorText = privilegeError;
    return false;
  }
  void ShowError(const std::u16string& text) override { log_.push_back("error " + Narrow(text)); }
  bool EndSession(std::uint32_t flags) override {
    char buf[32];
    std::snprintf(buf, sizeof buf, "exit windows %02X", static_cast<unsigned>(flags));
    log_.push_back(buf);
    return true;
  }
  bool Suspend() override {
    log_.push_back("suspend");
    return true;
  }
  ShellItemList SpecialFolderList(int csidl) override {
    log_.push_back("folder list " + std::to_string(csidl));
    return listFails ? 0 : 0x5000 + static_cast<ShellItemList>(csidl);
  }
  bool OpenItemList(ShellItemList list) override {
    log_.push_back("open list " + std::to_string(list));
    return true;
  }
  void FreeItemList(ShellItemList list) override {
    log_.push_back("free list " + std::to_string(list));
  }
  std::u16string SystemFolder() override { return systemFolder; }
  std::u16string ProgramFolder() override { return u"C:\\Quarn\\"; }
  bool OpenProgram(const std::u16string& path) override {
    log_.push_back("open " + Narrow(path));
    return !missing.count(path);
  }

  std::u16string privilegeError;
  bool listFails = false;
  std::u16string systemFolder = u"C:\\windows\\system32";
  std::set<std::u16string> missing;

 private:
  CallLog& log_;
};

}  // namespace quarn::testing
