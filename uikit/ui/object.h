// The visual objects of a scene: a tree of named, positioned objects that own their
// children, paint in child order and take mouse and key events. Object is the base of
// every primitive and control; Layout is the plain container.
//
// Geometry and state go through setters that mark the changed area dirty. Appearance
// members of the derived kinds (fills, fonts, pictures, formats) are plain data: after
// changing one on a shown object, call Invalidate().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/graphics.h"

namespace quarn::ui {

class Canvas;
class Object;
class Scene;

enum class MouseButton { Left, Right, Middle };
enum class Cursor { Arrow, Hand };

// Inner distances of a box, e.g. between a text's box and its text.
struct Margins {
  float left = 0, top = 0, right = 0, bottom = 0;
  RectF Deflate(const RectF& r) const {
    return {r.x + left, r.y + top, r.width - left - right, r.height - top - bottom};
  }
};

// Events carry the sender first. Points are in the sender's local coordinates.
using NotifyEvent = std::function<void(Object& sender)>;
using MouseEvent = std::function<void(Object& sender, MouseButton button, PointF local)>;
using MouseMoveEvent = std::function<void(Object& sender, PointF local)>;
// A handler may change the key or the character; 0 swallows it.
using KeyEvent = std::function<void(Object& sender, std::uint16_t& key, char16_t& ch)>;

// Letter case ignored for ASCII letters: component and style names.
bool SameName(std::u16string_view a, std::u16string_view b);

class Object {
 public:
  Object() = default;
  virtual ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // --- identity ---
  std::u16string name;
  std::int64_t tag = 0;
  std::u16string bindingName;
  std::u16string hint;
  Cursor cursor = Cursor::Arrow;
  // Whether the object itself can be the target of the mouse (its children are tried
  // either way).
  bool hitTest = true;
  // Children are painted and hit only inside this object's box.
  bool clipChildren = false;

  const std::u16string& StyleLookup() const { return styleLookup_; }
  // A new look name takes effect at the next paint.
  void SetStyleLookup(std::u16string name);

  // --- geometry (relative to the parent) ---
  float X() const { return x_; }
  float Y() const { return y_; }
  float Width() const { return w_; }
  float Height() const { return h_; }
  RectF Bounds() const { return {x_, y_, w_, h_}; }
  RectF LocalRect() const { return {0, 0, w_, h_}; }
  void SetBounds(float x, float y, float w, float h);
  void SetBounds(const RectF& r) { SetBounds(r.x, r.y, r.width, r.height); }
  void SetPosition(float x, float y) { SetBounds(x, y, w_, h_); }
  void SetSize(float w, float h) { SetBounds(x_, y_, w, h); }
  // The box in the coordinates of the tree's root (the scene's client pixels).
  RectF AbsoluteRect() const;
  PointF LocalToAbsolute(PointF local) const;
  PointF AbsoluteToLocal(PointF absolute) const;

  // --- state ---
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Visible, and every ancestor too.
  bool IsShown() const;
  // Enabled, and every ancestor too: a disabled container disables its children.
  bool IsEffectivelyEnabled() const;
  // The mouse is over the object (set by the scene; only enabled objects are hovered).
  bool IsHovered() const { return hovered_; }
  // A mouse button went down on the object and is still held (the object has capture).
  bool IsMouseDown() const { return mouseDown_; }
  bool IsFocused() const { return focused_; }

  // --- tree ---
  Object* Parent() const { return parent_; }
  // The scene the tree is shown in, or null.
  Scene* GetScene() const;
  const std::vector<std::unique_ptr<Object>>& Children() const { return children_; }
  std::size_t ChildCount() const { return children_.size(); }
  // Null when out of range.
  Object* Child(std::size_t index) const;
  // Appends: painted last, hit first. Returns the child (null for null).
  Object* AddChild(std::unique_ptr<Object> child);
  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto owned = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *owned;
    AddChild(std::move(owned));
    return ref;
  }
  // Detaches a direct child and hands it back (null if `child` is not one). The scene
  // forgets any hover, capture or focus inside it, without events.
  std::unique_ptr<Object> RemoveChild(Object& child);
  // The first object of the subtree (this one included, depth first, in child order)
  // with that name, letter case ignored; null if none or `name` is empty.
  Object* Find(std::u16string_view name);
  template <class T>
  T* FindAs(std::u16string_view name) {
    return dynamic_cast<T*>(Find(name));
  }
  // Calls fn for every descendant of kind T, depth first in child order. fn must not
  // add or remove objects.
  template <class T, class Fn>
  void ForEach(Fn&& fn) {
    for (auto& c : children_) {
      if (auto* t = dynamic_cast<T*>(c.get())) fn(*t);
      c->ForEach<T>(fn);
    }
  }

  // Marks the object's absolute box dirty in its scene.
  void Invalidate();

  // --- events ---
  NotifyEvent OnClick;
  NotifyEvent OnDblClick;
  NotifyEvent OnMouseEnter;
  NotifyEvent OnMouseLeave;
  MouseEvent OnMouseDown;
  MouseEvent OnMouseUp;
  MouseMoveEvent OnMouseMove;
  KeyEvent OnKeyDown;
  KeyEvent OnKeyUp;

  // --- for derived kinds and the scene ---
  // Draws the object itself in local coordinates (0,0 is its top-left).
  virtual void Draw(Canvas& canvas) { (void)canvas; }
  // Whether hover and press change the object's face (then the scene repaints it when
  // they change, and nothing else is repainted on hover).
  virtual bool PaintsMouseState() const { return false; }
  // Whether the object takes the keyboard focus when pressed.
  virtual bool CanFocus() const { return false; }
  // A left press and release over the object: the default calls OnClick.
  virtual void Click();
  virtual void KeyDown(std::uint16_t& key, char16_t& ch);
  virtual void KeyUp(std::uint16_t& key, char16_t& ch);
  virtual void FocusLost() {}

  // Becomes false when the object is destroyed; lets callers notice that a handler
  // destroyed the object it was called for.
  std::weak_ptr<void> LifeToken() const { return life_; }

 protected:
  // Calls a copy of the handler, so a handler that clears or replaces itself runs to
  // its end.
  template <class Fn, class... Args>
  static void Fire(const Fn& handler, Args&&... args) {
    if (!handler) return;
    Fn copy = handler;
    copy(std::forward<Args>(args)...);
  }

 private:
  friend class Scene;

  std::u16string styleLookup_;
  float x_ = 0, y_ = 0, w_ = 0, h_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool hovered_ = false;
  bool mouseDown_ = false;
  bool focused_ = false;
  Object* parent_ = nullptr;
  Scene* scene_ = nullptr;  // set on the root of a scene only
  std::vector<std::unique_ptr<Object>> children_;
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

// A container: groups and positions its children, draws nothing and is not hit itself.
class Layout : public Object {
 public:
  Layout() { hitTest = false; }
};

}  // namespace quarn::ui
