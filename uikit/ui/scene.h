// A scene: the tree of objects that fills one window's client area, with its style
// book, and the state that input gives it (hovered, captured and focused objects).
// The host window feeds it mouse and key events in client pixels, paints it into a
// canvas with a dirty rectangle, and learns through callbacks which areas became
// dirty, when the hovered or focused object changed, and when a modal result was set.
//
// Input rules: the target of the mouse is the last visible child that holds the point
// (children before their parent, the topmost first) and has hit testing on. A target
// that is disabled (or inside a disabled container) swallows the input: no events,
// no hover. A press captures the target: moves and the release go to it wherever the
// pointer is, and a left release fires OnClick only when it happens over the pressed
// object while that is still enabled. Keys go to the focused object.
//
// The scene follows the active language of its context (see TextObject).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "translation.h"
#include "ui/controls.h"
#include "ui/graphics.h"
#include "ui/looks.h"
#include "ui/object.h"

namespace quarn::ui {

class Scene : public LanguageScene {
 public:
  explicit Scene(float width = 0, float height = 0, LanguageContext& context = ProgramLanguage());
  ~Scene() override;

  // The root container, sized to the scene.
  Layout& Root() { return *root_; }
  const Layout& Root() const { return *root_; }
  float Width() const { return root_->Width(); }
  float Height() const { return root_->Height(); }
  void SetSize(float width, float height) { root_->SetSize(width, height); }

  // This window's looks; names it lacks come from ProgramStyles().
  StyleBook& Styles() { return styles_; }
  const StyleBook& Styles() const { return styles_; }

  // --- input from the host, in client pixels ---
  void MouseMove(PointF p);
  void MouseDown(MouseButton button, PointF p);
  void MouseUp(MouseButton button, PointF p);
  // The second press of a double click (it comes instead of a MouseDown): a press,
  // then OnDblClick of the target; the release that follows is an ordinary one.
  void DoubleClick(MouseButton button, PointF p);
  // The pointer left the window: the hovered object is left.
  void MouseLeave();
  // The host lost the capture (another window took it): the pressed object is
  // released without a click.
  void CancelCapture();
  // Keys for the focused object; a handler may change or swallow (0) them. False when
  // nothing has the focus.
  bool KeyDown(std::uint16_t& key, char16_t& ch);
  bool KeyUp(std::uint16_t& key, char16_t& ch);

  // The object the mouse would reach at p (possibly a disabled one), or null.
  Object* HitTest(PointF p) const;
  Object* Hovered() const { return hovered_; }
  Object* Captured() const { return captured_; }
  Object* Focused() const { return focused_; }
  // Moves the focus to an object of this scene that can take it (null clears it).
  // The object that loses it runs its focus-lost step (a number box clamps) first.
  // False when refused (not focusable, hidden, disabled or not in this scene).
  bool SetFocus(Object* object);
  // The hovered object's cursor and hint (Arrow and empty without one).
  Cursor CurrentCursor() const;
  std::u16string CurrentHint() const;

  // --- painting ---
  // Paints every visible object that meets `clip` (client pixels), clipped to it.
  void Paint(Canvas& canvas, const RectF& clip);
  void Paint(Canvas& canvas) { Paint(canvas, root_->Bounds()); }
  // Adds an area to repaint (client pixels, cut to the scene) and reports it through
  // OnInvalidate. Edges may be fractional: the host rounds them outward.
  void InvalidateRect(const RectF& r);
  // The union of the areas marked since the last call, then cleared.
  RectF TakeDirty();

  // --- modal result ---
  int ModalResult() const { return modalResult_; }
  // Sets the result; reports a change through OnModalResult.
  void SetModalResult(int result);

  // --- language ---
  void RetranslateTexts() override;

  // --- callbacks to the host ---
  std::function<void(const RectF& dirty)> OnInvalidate;
  std::function<void(Object* hovered)> OnHoverChange;
  std::function<void(Object* focused)> OnFocusChange;
  std::function<void(int result)> OnModalResult;

 private:
  friend class Object;
  // Called by objects of the tree.
  void Forget(Object& subtree, bool report);
  void StateChanged(Object& object);
  bool Contains(const Object* object) const;

  void SetHovered(Object* object);
  void UpdateHover(PointF p);
  void ReleaseCapture();

  std::unique_ptr<Layout> root_;
  StyleBook styles_;
  Object* hovered_ = nullptr;
  Object* captured_ = nullptr;
  MouseButton capturedButton_ = MouseButton::Left;
  Object* focused_ = nullptr;
  RectF dirty_;
  int modalResult_ = kModalNone;
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

}  // namespace quarn::ui
