#include "ui/controls.h"

#include <limits>
#include <string>

#include "ui/scene.h"

namespace quarn::ui {

namespace {

const StyleBook& BookOf(const Object& o) {
  const Scene* s = o.GetScene();
  return s ? s->Styles() : ProgramStyles();
}

std::u16string ToText(std::int64_t v) {
  std::string s = std::to_string(v);
  return std::u16string(s.begin(), s.end());
}

}  // namespace

// --- Button ---

void Button::SetPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  Invalidate();
}

Button::State Button::CurrentState() const {
  if (!IsEffectivelyEnabled()) return State::Disabled;
  if (pressed_ || (IsMouseDown() && IsHovered())) return State::Pressed;
  if (IsHovered()) return State::Hover;
  return State::Normal;
}

const ButtonLook& Button::Look() const {
  return BookOf(*this).Button(StyleLookup());
}

void Button::Draw(Canvas& canvas) {
  const ButtonLook& look = Look();
  const ButtonFace* face = &look.normal;
  switch (CurrentState()) {
    case State::Hover:
      face = &look.hover;
      break;
    case State::Pressed:
      face = &look.pressed;
      break;
    case State::Disabled:
      face = &look.disabled;
      break;
    case State::Normal:
      break;
  }
  const RectF box = LocalRect();
  if (face->picture && !face->picture->Empty()) {
    canvas.DrawPicture(face->picture, box, WrapMode::Stretch);
  } else {
    canvas.FillRect(box, face->fill, look.radius);
    if (face->stroke.Visible()) canvas.StrokeRect(box, face->stroke, look.strokeWidth, look.radius);
  }
  DrawTextIn(canvas, box, face->textFill);
}

void Button::Click() {
  auto life = LifeToken();
  if (staysPressed) SetPressed(!pressed_);
  if (modalResult != kModalNone) {
    if (Scene* s = GetScene()) s->SetModalResult(modalResult);
    if (life.expired()) return;
  }
  Object::Click();
}

// --- Label ---

const LabelLook& Label::Look() const {
  return BookOf(*this).Label(StyleLookup());
}

void Label::Draw(Canvas& canvas) {
  const LabelLook& look = Look();
  if (look.background.Visible()) canvas.FillRect(LocalRect(), look.background);
  if (Text().empty()) return;
  TextFormat f = format;
  if (look.shadow) {
    f.shadow = true;
    f.shadowColor = look.shadowColor;
  }
  canvas.DrawText(Text(), padding.Deflate(LocalRect()), font, look.textFill, f);
}

// --- TextBox ---

void TextBox::SetText(std::u16string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Invalidate();
}

bool TextBox::EditText(std::u16string text) {
  if (readOnly) return false;
  if (text == text_) return true;
  text_ = std::move(text);
  Invalidate();
  Fire(OnChange, *this);
  return true;
}

const TextBoxLook& TextBox::Look() const {
  return BookOf(*this).TextBox(StyleLookup());
}

void TextBox::Draw(Canvas& canvas) {
  const TextBoxLook& look = Look();
  const RectF box = LocalRect();
  canvas.FillRect(box, look.background, look.radius);
  if (look.border.Visible() && look.borderWidth > 0)
    canvas.StrokeRect(box, look.border, look.borderWidth, look.radius);
  if (text_.empty()) return;
  const float inset = look.borderWidth + 2;
  canvas.DrawText(text_, box.Inflate(-inset, -inset), font, Fill::Solid(look.textColor),
                  TextFormat{align, AlignV::Center});
}

void TextBox::KeyDown(std::uint16_t& key, char16_t& ch) {
  auto life = LifeToken();
  Object::KeyDown(key, ch);
  if (life.expired()) return;
  if (swallowTyping) ch = 0;
}

void TextBox::FocusLost() {
  Fire(OnKillFocus, *this);
}

// --- NumberBox ---

NumberBox::NumberBox() {
  StoreText(u"0");
}

void NumberBox::SetRange(std::int64_t min, std::int64_t max) {
  min_ = min;
  max_ = max < min ? min : max;
  SetText(ToText(Value()));
}

std::int64_t NumberBox::Value() const {
  return Parse(Text(), min_, max_);
}

void NumberBox::SetValue(std::int64_t value) {
  SetText(ToText(value < min_ ? min_ : value > max_ ? max_ : value));
}

void NumberBox::FocusLost() {
  auto life = LifeToken();
  std::u16string clamped = ToText(Value());
  if (clamped != Text()) {
    SetText(std::move(clamped));
    Fire(OnChange, *this);
    if (life.expired()) return;
  }
  TextBox::FocusLost();
}

std::int64_t NumberBox::Parse(std::u16string_view text, std::int64_t min, std::int64_t max) {
  if (max < min) max = min;
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return min;
  // Magnitudes past the integer range saturate; the clamp below then applies.
  constexpr std::uint64_t kLimit = std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1;
  std::uint64_t magnitude = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return min;
    if (magnitude > kLimit) continue;  // saturated already
    magnitude = magnitude > kLimit / 10 ? kLimit + 1 : magnitude * 10 + std::uint64_t(c - u'0');
    if (magnitude > kLimit) magnitude = kLimit + 1;
  }
  std::int64_t v;
  if (negative)
    v = magnitude >= kLimit ? std::numeric_limits<std::int64_t>::min() : -std::int64_t(magnitude);
  else
    v = magnitude >= kLimit ? std::numeric_limits<std::int64_t>::max() : std::int64_t(magnitude);
  return v < min ? min : v > max ? max : v;
}

}  // namespace quarn::ui
