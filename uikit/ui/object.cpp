#include "ui/object.h"

#include <algorithm>

#include "ui/scene.h"

namespace quarn::ui {

namespace {
char16_t FoldAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}
}  // namespace

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

Object::~Object() {
  if (Scene* s = GetScene()) s->Forget(*this, false);
  // Children go first, while this object is still whole for their look-ups.
  children_.clear();
}

void Object::SetStyleLookup(std::u16string name) {
  if (name == styleLookup_) return;
  styleLookup_ = std::move(name);
  Invalidate();
}

void Object::SetBounds(float x, float y, float w, float h) {
  if (x == x_ && y == y_ && w == w_ && h == h_) return;
  Invalidate();
  x_ = x;
  y_ = y;
  w_ = w;
  h_ = h;
  Invalidate();
}

RectF Object::AbsoluteRect() const {
  RectF r = Bounds();
  for (const Object* p = parent_; p; p = p->parent_) r = r.Offset(p->x_, p->y_);
  return r;
}

PointF Object::LocalToAbsolute(PointF local) const {
  RectF r = AbsoluteRect();
  return {r.x + local.x, r.y + local.y};
}

PointF Object::AbsoluteToLocal(PointF absolute) const {
  RectF r = AbsoluteRect();
  return {absolute.x - r.x, absolute.y - r.y};
}

void Object::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) Invalidate();
  visible_ = visible;
  if (visible) Invalidate();
  if (Scene* s = GetScene(); s && !visible) s->StateChanged(*this);
}

void Object::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Invalidate();
  if (Scene* s = GetScene(); s && !enabled) s->StateChanged(*this);
}

bool Object::IsShown() const {
  for (const Object* o = this; o; o = o->parent_)
    if (!o->visible_) return false;
  return true;
}

bool Object::IsEffectivelyEnabled() const {
  for (const Object* o = this; o; o = o->parent_)
    if (!o->enabled_) return false;
  return true;
}

Scene* Object::GetScene() const {
  const Object* o = this;
  while (o->parent_) o = o->parent_;
  return o->scene_;
}

Object* Object::Child(std::size_t index) const {
  return index < children_.size() ? children_[index].get() : nullptr;
}

Object* Object::AddChild(std::unique_ptr<Object> child) {
  if (!child) return nullptr;
  Object* c = child.get();
  c->parent_ = this;
  children_.push_back(std::move(child));
  c->Invalidate();
  return c;
}

std::unique_ptr<Object> Object::RemoveChild(Object& child) {
  auto it = std::find_if(children_.begin(), children_.end(),
                         [&](const std::unique_ptr<Object>& c) { return c.get() == &child; });
  if (it == children_.end()) return nullptr;
  child.Invalidate();
  if (Scene* s = GetScene()) s->Forget(child, true);
  std::unique_ptr<Object> owned = std::move(*it);
  children_.erase(it);
  owned->parent_ = nullptr;
  return owned;
}

Object* Object::Find(std::u16string_view name) {
  if (name.empty()) return nullptr;
  if (SameName(this->name, name)) return this;
  for (auto& c : children_)
    if (Object* f = c->Find(name)) return f;
  return nullptr;
}

void Object::Invalidate() {
  if (Scene* s = GetScene()) s->InvalidateRect(AbsoluteRect());
}

void Object::Click() {
  Fire(OnClick, *this);
}

void Object::KeyDown(std::uint16_t& key, char16_t& ch) {
  Fire(OnKeyDown, *this, key, ch);
}

void Object::KeyUp(std::uint16_t& key, char16_t& ch) {
  Fire(OnKeyUp, *this, key, ch);
}

}  // namespace quarn::ui
