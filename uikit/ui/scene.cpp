#include "ui/scene.h"

namespace quarn::ui {

namespace {

// Calls a copy of a host callback (it may replace itself).
template <class Fn, class... Args>
void Call(const Fn& fn, Args&&... args) {
  if (!fn) return;
  Fn copy = fn;
  copy(std::forward<Args>(args)...);
}

template <class Fn, class... Args>
void FireOn(Object& target, Fn Object::*event, Args&&... args) {
  if (!(target.*event)) return;
  Fn copy = target.*event;
  copy(target, std::forward<Args>(args)...);
}

bool Within(const Object* object, const Object& subtree) {
  for (const Object* o = object; o; o = o->Parent())
    if (o == &subtree) return true;
  return false;
}

Object* HitIn(Object& o, PointF local) {
  if (!o.Visible()) return nullptr;
  const bool inside = o.LocalRect().Contains(local);
  if (inside || !o.clipChildren) {
    const auto& children = o.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      Object& c = **it;
      if (Object* hit = HitIn(c, {local.x - c.X(), local.y - c.Y()})) return hit;
    }
  }
  return o.hitTest && inside ? &o : nullptr;
}

void PaintTree(Object& o, Canvas& canvas, const RectF& clip, float ox, float oy) {
  if (!o.Visible()) return;
  const RectF box{ox + o.X(), oy + o.Y(), o.Width(), o.Height()};
  const bool meets = box.Intersects(clip);
  if (meets) {
    canvas.Translate(box.x, box.y);
    o.Draw(canvas);
    canvas.Translate(-box.x, -box.y);
  }
  if (o.Children().empty()) return;
  RectF inner = clip;
  if (o.clipChildren) {
    if (!meets) return;
    inner = clip.Intersect(box);
    canvas.PushClip(box);
  }
  for (auto& c : o.Children()) PaintTree(*c, canvas, inner, box.x, box.y);
  if (o.clipChildren) canvas.PopClip();
}

}  // namespace

Scene::Scene(float width, float height, LanguageContext& context)
    : LanguageScene(context), root_(std::make_unique<Layout>()), styles_(&ProgramStyles()) {
  root_->scene_ = this;
  root_->SetSize(width, height);
}

Scene::~Scene() {
  hovered_ = captured_ = focused_ = nullptr;
  root_->scene_ = nullptr;
  root_.reset();
}

bool Scene::Contains(const Object* object) const {
  return object && Within(object, *root_);
}

Object* Scene::HitTest(PointF p) const {
  return HitIn(*root_, {p.x - root_->X(), p.y - root_->Y()});
}

void Scene::SetHovered(Object* object) {
  if (object == hovered_) return;
  std::weak_ptr<void> alive = life_;
  Object* old = hovered_;
  hovered_ = object;
  std::weak_ptr<void> objectLife = object ? object->LifeToken() : std::weak_ptr<void>();
  if (old) {
    old->hovered_ = false;
    if (old->PaintsMouseState()) old->Invalidate();
    FireOn(*old, &Object::OnMouseLeave);
    if (alive.expired()) return;
  }
  // A leave handler may have moved the hover or destroyed the object.
  if (object && hovered_ == object && !objectLife.expired()) {
    object->hovered_ = true;
    if (object->PaintsMouseState()) object->Invalidate();
    FireOn(*object, &Object::OnMouseEnter);
    if (alive.expired()) return;
  }
  Call(OnHoverChange, hovered_);
}

void Scene::UpdateHover(PointF p) {
  Object* hit = HitTest(p);
  if (hit && !hit->IsEffectivelyEnabled()) hit = nullptr;
  // While a press is held only the pressed object can be hovered.
  if (captured_ && hit != captured_) hit = nullptr;
  SetHovered(hit);
}

void Scene::ReleaseCapture() {
  if (!captured_) return;
  Object* o = captured_;
  captured_ = nullptr;
  o->mouseDown_ = false;
  if (o->PaintsMouseState()) o->Invalidate();
}

void Scene::MouseMove(PointF p) {
  std::weak_ptr<void> alive = life_;
  UpdateHover(p);
  if (alive.expired()) return;
  Object* target = captured_ ? captured_ : hovered_;
  if (target) FireOn(*target, &Object::OnMouseMove, target->AbsoluteToLocal(p));
}

void Scene::MouseDown(MouseButton button, PointF p) {
  std::weak_ptr<void> alive = life_;
  if (captured_) {
    // Another button while one is held: told to the pressed object, capture unchanged.
    FireOn(*captured_, &Object::OnMouseDown, button, captured_->AbsoluteToLocal(p));
    return;
  }
  Object* hit = HitTest(p);
  if (!hit || !hit->IsEffectivelyEnabled()) return;  // nothing there, or swallowed
  auto hitLife = hit->LifeToken();
  UpdateHover(p);
  if (alive.expired() || hitLife.expired()) return;
  captured_ = hit;
  capturedButton_ = button;
  hit->mouseDown_ = true;
  if (hit->PaintsMouseState()) hit->Invalidate();
  if (button == MouseButton::Left) {
    // A press moves the focus: to the object when it takes it, else away from the box
    // that had it (which then commits its value before any click).
    SetFocus(hit->CanFocus() ? hit : nullptr);
    if (alive.expired() || hitLife.expired()) return;
  }
  FireOn(*hit, &Object::OnMouseDown, button, hit->AbsoluteToLocal(p));
}

void Scene::MouseUp(MouseButton button, PointF p) {
  std::weak_ptr<void> alive = life_;
  if (!captured_) {
    // A release without a press here (pressed in another window): told, never a click.
    Object* hit = HitTest(p);
    if (hit && hit->IsEffectivelyEnabled())
      FireOn(*hit, &Object::OnMouseUp, button, hit->AbsoluteToLocal(p));
    return;
  }
  Object* target = captured_;
  if (button != capturedButton_) {
    FireOn(*target, &Object::OnMouseUp, button, target->AbsoluteToLocal(p));
    return;
  }
  auto targetLife = target->LifeToken();
  ReleaseCapture();
  FireOn(*target, &Object::OnMouseUp, button, target->AbsoluteToLocal(p));
  if (alive.expired()) return;
  if (!targetLife.expired() && button == MouseButton::Left && HitTest(p) == target &&
      target->IsEffectivelyEnabled()) {
    target->Click();
    if (alive.expired()) return;
  }
  UpdateHover(p);
}

void Scene::DoubleClick(MouseButton button, PointF p) {
  std::weak_ptr<void> alive = life_;
  MouseDown(button, p);
  if (alive.expired() || button != MouseButton::Left || !captured_) return;
  FireOn(*captured_, &Object::OnDblClick);
}

void Scene::MouseLeave() {
  SetHovered(nullptr);
}

void Scene::CancelCapture() {
  ReleaseCapture();
}

bool Scene::KeyDown(std::uint16_t& key, char16_t& ch) {
  if (!focused_) return false;
  focused_->KeyDown(key, ch);
  return true;
}

bool Scene::KeyUp(std::uint16_t& key, char16_t& ch) {
  if (!focused_) return false;
  focused_->KeyUp(key, ch);
  return true;
}

bool Scene::SetFocus(Object* object) {
  if (object == focused_) return true;
  if (object && (!Contains(object) || !object->CanFocus() || !object->IsShown() ||
                 !object->IsEffectivelyEnabled()))
    return false;
  std::weak_ptr<void> alive = life_;
  Object* old = focused_;
  focused_ = object;
  if (object) object->focused_ = true;
  if (old) {
    old->focused_ = false;
    old->FocusLost();
    if (alive.expired()) return true;
  }
  Call(OnFocusChange, focused_);
  return true;
}

Cursor Scene::CurrentCursor() const {
  return hovered_ ? hovered_->cursor : Cursor::Arrow;
}

std::u16string Scene::CurrentHint() const {
  return hovered_ ? hovered_->hint : std::u16string();
}

void Scene::Paint(Canvas& canvas, const RectF& clip) {
  if (clip.Empty()) return;
  canvas.PushClip(clip);
  PaintTree(*root_, canvas, clip, 0, 0);
  canvas.PopClip();
}

void Scene::InvalidateRect(const RectF& r) {
  const RectF area = r.Intersect(root_->Bounds());
  if (area.Empty()) return;
  dirty_ = dirty_.Union(area);
  Call(OnInvalidate, area);
}

RectF Scene::TakeDirty() {
  RectF d = dirty_;
  dirty_ = {};
  return d;
}

void Scene::SetModalResult(int result) {
  if (result == modalResult_) return;
  modalResult_ = result;
  Call(OnModalResult, result);
}

void Scene::RetranslateTexts() {
  const LanguageContext* context = Context();
  root_->ForEach<TextObject>([&](TextObject& t) { t.Retranslate(context); });
}

void Scene::Forget(Object& subtree, bool report) {
  if (Within(hovered_, subtree)) {
    hovered_->hovered_ = false;
    hovered_ = nullptr;
    if (report) Call(OnHoverChange, hovered_);
  }
  if (Within(captured_, subtree)) {
    captured_->mouseDown_ = false;
    captured_ = nullptr;
  }
  if (Within(focused_, subtree)) {
    focused_->focused_ = false;
    focused_ = nullptr;
    if (report) Call(OnFocusChange, focused_);
  }
}

void Scene::StateChanged(Object& object) {
  // Hidden or disabled: nothing inside it stays hovered, pressed or focused.
  std::weak_ptr<void> alive = life_;
  if (Within(captured_, object)) ReleaseCapture();
  if (Within(hovered_, object)) SetHovered(nullptr);
  if (alive.expired()) return;
  if (Within(focused_, object)) SetFocus(nullptr);
}

}  // namespace quarn::ui
