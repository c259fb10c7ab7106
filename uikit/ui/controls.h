// The controls the windows are built from: push and toggle buttons, labels, and the
// models of single-line text and integer boxes. The Win32 host shows each box as a
// native edit control at the box's place and reports the user's edits and focus
// changes back to the model; the model keeps the rules (read-only, swallowed typing,
// integer range).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/looks.h"
#include "ui/shapes.h"

namespace quarn::ui {

// Modal results carried by buttons and ended dialogs.
constexpr int kModalNone = 0;
constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;

// A push button drawn from its ButtonLook (normal, hover, pressed, disabled).
// With staysPressed a click toggles isPressed; the program may set it too. A button
// with a modal result sets its scene's modal result when clicked, before OnClick.
class Button : public TextObject {
 public:
  Button() { format = {AlignH::Center, AlignV::Center}; }

  bool staysPressed = false;
  int modalResult = kModalNone;

  bool IsPressed() const { return pressed_; }
  // Repaints the button; fires nothing.
  void SetPressed(bool pressed);

  enum class State { Normal, Hover, Pressed, Disabled };
  // The face shown now: disabled, else pressed (set, or held down by the mouse while
  // over it), else hover, else normal.
  State CurrentState() const;
  // Its look in its scene's style book (the program's book when not in a scene).
  const ButtonLook& Look() const;

  void Draw(Canvas& canvas) override;
  bool PaintsMouseState() const override { return true; }
  void Click() override;

 private:
  bool pressed_ = false;
};

// A text drawn with the colours of its LabelLook.
class Label : public TextObject {
 public:
  Label() { hitTest = false; }
  const LabelLook& Look() const;
  void Draw(Canvas& canvas) override;
};

// A single-line text box. The program sets the text without events; the user's edits
// come from the host through EditText and fire OnChange.
class TextBox : public Object {
 public:
  const std::u16string& Text() const { return text_; }
  // Program set: no OnChange. Repaints.
  void SetText(std::u16string text);
  // A user edit reported by the host. Refused (false, nothing changes) when the box is
  // read-only; fires OnChange when the text changed.
  bool EditText(std::u16string text);

  // The user cannot change the text (the host's edit is read-only).
  bool readOnly = false;
  // Every typed character is swallowed after OnKeyDown ran; keys without a character
  // (arrows, Enter) still reach the handlers.
  bool swallowTyping = false;
  FontSpec font;
  AlignH align = AlignH::Leading;

  NotifyEvent OnChange;
  NotifyEvent OnKillFocus;

  const TextBoxLook& Look() const;
  void Draw(Canvas& canvas) override;
  bool CanFocus() const override { return true; }
  void KeyDown(std::uint16_t& key, char16_t& ch) override;
  void FocusLost() override;

 protected:
  void StoreText(std::u16string text) { text_ = std::move(text); }

 private:
  std::u16string text_;
};

// An integer box within [Min, Max]. While the user types, the text is kept as typed;
// Value() reads it clamped, and losing the focus writes the clamped value back (then
// OnChange when it differs, then OnKillFocus). A text that is not an integer (empty,
// letters, pasted junk) reads as Min; one too large for any integer reads as Max.
class NumberBox : public TextBox {
 public:
  NumberBox();

  std::int64_t Min() const { return min_; }
  std::int64_t Max() const { return max_; }
  // A maximum below the minimum is raised to it. The text is clamped at once.
  void SetRange(std::int64_t min, std::int64_t max);
  std::int64_t Value() const;
  // Program set: clamped, no OnChange.
  void SetValue(std::int64_t value);
  void FocusLost() override;

  // The clamped value of a text under a range: the rule above as a pure function.
  static std::int64_t Parse(std::u16string_view text, std::int64_t min, std::int64_t max);

 private:
  std::int64_t min_ = 0, max_ = 100;
};

}  // namespace quarn::ui
