// Helpers of the toolkit's tests: placing named objects, and a log of the events
// objects receive ("enter a", "down a", "click a", ...).
#pragma once

#include <string>
#include <vector>

#include "ui/object.h"

namespace quarn::ui::testing {

template <class T>
T& Put(Object& parent, std::u16string name, RectF bounds) {
  T& o = parent.Add<T>();
  o.name = std::move(name);
  o.SetBounds(bounds);
  return o;
}

inline std::string Narrow(std::u16string_view s) {
  return std::string(s.begin(), s.end());
}

struct EventLog {
  std::vector<std::string> lines;

  void Watch(Object& o) {
    const std::string n = Narrow(o.name);
    auto note = [this](std::string line) { lines.push_back(std::move(line)); };
    o.OnMouseEnter = [note, n](Object&) { note("enter " + n); };
    o.OnMouseLeave = [note, n](Object&) { note("leave " + n); };
    o.OnMouseDown = [note, n](Object&, MouseButton b, PointF) { note("down " + n + Which(b)); };
    o.OnMouseUp = [note, n](Object&, MouseButton b, PointF) { note("up " + n + Which(b)); };
    o.OnMouseMove = [note, n](Object&, PointF) { note("move " + n); };
    o.OnClick = [note, n](Object&) { note("click " + n); };
    o.OnDblClick = [note, n](Object&) { note("dblclick " + n); };
  }
  std::string Joined() const {
    std::string r;
    for (const auto& l : lines) r += (r.empty() ? "" : ", ") + l;
    return r;
  }
  void Clear() { lines.clear(); }

 private:
  static std::string Which(MouseButton b) {
    return b == MouseButton::Left ? "" : b == MouseButton::Right ? " right" : " middle";
  }
};

}  // namespace quarn::ui::testing
