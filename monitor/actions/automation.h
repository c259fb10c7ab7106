// Late-bound automation as the monitor's Office actions see it: objects whose
// properties and methods are reached by name (or by dispatch identifier), the
// values they exchange, and the ways to reach an application: a running
// instance, a new instance, or the running-object table. The program's
// implementation talks to COM; tests use scripted objects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quarn {

class AutoObject;

// A value passed to or returned by an automation call.
struct AutoValue {
  enum class Kind { Empty, Omitted, Bool, Int, String, Object };
  Kind kind = Kind::Empty;
  bool boolean = false;
  std::int64_t integer = 0;
  std::u16string text;
  std::shared_ptr<AutoObject> object;  // may be null for an Object value

  // An optional argument left out.
  static AutoValue Omitted() {
    AutoValue v;
    v.kind = Kind::Omitted;
    return v;
  }
  static AutoValue Bool(bool b) {
    AutoValue v;
    v.kind = Kind::Bool;
    v.boolean = b;
    return v;
  }
  static AutoValue Int(std::int64_t i) {
    AutoValue v;
    v.kind = Kind::Int;
    v.integer = i;
    return v;
  }
  static AutoValue String(std::u16string s) {
    AutoValue v;
    v.kind = Kind::String;
    v.text = std::move(s);
    return v;
  }
  static AutoValue Object(std::shared_ptr<AutoObject> o) {
    AutoValue v;
    v.kind = Kind::Object;
    v.object = std::move(o);
    return v;
  }
};

// One automation object. Every call reports failure with false and never
// throws; arguments are given in the order the method declares them.
class AutoObject {
 public:
  virtual ~AutoObject() = default;
  virtual bool Get(const std::u16string& name, AutoValue& out) = 0;
  virtual bool Put(const std::u16string& name, const AutoValue& value, std::uint32_t lcid) = 0;
  // `result` may be null when the caller does not want it.
  virtual bool Call(const std::u16string& name, const std::vector<AutoValue>& args,
                    std::uint32_t lcid, AutoValue* result) = 0;
  virtual bool CallId(std::int32_t dispid, const std::vector<AutoValue>& args,
                      AutoValue* result) = 0;

  // The object property `name`; null when the call fails or gives no object.
  std::shared_ptr<AutoObject> GetObject(const std::u16string& name) {
    AutoValue v;
    if (!Get(name, v) || v.kind != AutoValue::Kind::Object) return nullptr;
    return v.object;
  }
};

// One entry of the running-object table: its moniker's display name and the
// moniker's class identifier as text ("{...}").
struct RunningEntry {
  std::u16string displayName;
  std::u16string monikerClassId;
};

class AutomationHost {
 public:
  virtual ~AutomationHost() = default;
  // The running instance registered for a ProgID; null when there is none.
  virtual std::shared_ptr<AutoObject> RunningInstance(const std::u16string& progId) = 0;
  // A new instance of a ProgID's local server; null when it cannot be made.
  virtual std::shared_ptr<AutoObject> NewInstance(const std::u16string& progId) = 0;
  // The running-object table's entries; false when the table cannot be read.
  virtual bool ListRunningObjects(std::vector<RunningEntry>& out) = 0;
  // The object of entry `index` of the last listing viewed through the
  // workbook interface; null when it is gone or has no such interface.
  virtual std::shared_ptr<AutoObject> RunningWorkbook(std::size_t index) = 0;
  // The user's default locale identifier.
  virtual std::uint32_t UserDefaultLcid() = 0;
};

}  // namespace quarn
