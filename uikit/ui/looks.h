// Looks and the style book. A look is the typed appearance of one kind of control:
// colours, outlines and pictures per state. Controls keep their own text, font and
// alignment; their look is found by the control's style name in the style book of
// its scene, which falls back to the program-wide book, and then to the kind's
// default look: a look is always found.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "ui/graphics.h"

namespace quarn::ui {

// One state of a button's face. A picture that is not empty is drawn stretched over
// the button's box instead of the fill.
struct ButtonFace {
  Fill fill;
  Fill textFill;
  Fill stroke;
  PictureRef picture;
};

struct ButtonLook {
  static constexpr std::u16string_view kDefaultName = u"buttonstyle";
  ButtonFace normal, hover, pressed, disabled;
  float radius = 0;
  float strokeWidth = 1;

  static ButtonLook Default();
};

struct LabelLook {
  static constexpr std::u16string_view kDefaultName = u"labelstyle";
  Fill textFill = Fill::Solid(Rgb(0, 0, 0));
  Fill background;  // None: nothing behind the text
  bool shadow = false;
  Color shadowColor = 0x80000000;

  static LabelLook Default() { return {}; }
};

struct TextBoxLook {
  static constexpr std::u16string_view kDefaultName = u"textboxstyle";
  Fill background = Fill::Solid(Rgb(0xFF, 0xFF, 0xFF));
  Color textColor = Rgb(0, 0, 0);
  Fill border = Fill::Solid(Rgb(0x80, 0x80, 0x80));
  float borderWidth = 1;
  float radius = 0;

  static TextBoxLook Default() { return {}; }
};

// Looks by name, letter case ignored. A control with an empty style name uses the
// kind's default name ("buttonstyle", "labelstyle", "textboxstyle"), so a book can
// restyle every control of a kind.
class StyleBook {
 public:
  explicit StyleBook(const StyleBook* fallback = nullptr) : fallback_(fallback) {}
  StyleBook(const StyleBook&) = delete;
  StyleBook& operator=(const StyleBook&) = delete;

  // The book consulted for names this one lacks. Refused (false) when it would make
  // a loop.
  bool SetFallback(const StyleBook* fallback);
  const StyleBook* Fallback() const { return fallback_; }

  // Adds or replaces the look of that name.
  void Add(std::u16string_view name, ButtonLook look) { Put(buttons_, name, std::move(look)); }
  void Add(std::u16string_view name, LabelLook look) { Put(labels_, name, std::move(look)); }
  void Add(std::u16string_view name, TextBoxLook look) { Put(boxes_, name, std::move(look)); }

  // The look of that name here or in a fallback book, else the default look.
  const ButtonLook& Button(std::u16string_view name) const;
  const LabelLook& Label(std::u16string_view name) const;
  const TextBoxLook& TextBox(std::u16string_view name) const;

  // Whether this book or a fallback defines that name for the kind.
  bool HasButton(std::u16string_view name) const;

 private:
  template <class Look>
  using Table = std::map<std::u16string, Look>;
  static std::u16string Key(std::u16string_view name);
  template <class Look>
  static void Put(Table<Look>& table, std::u16string_view name, Look look) {
    table.insert_or_assign(Key(name), std::move(look));
  }
  template <class Look>
  const Look* Find(Table<Look> StyleBook::*table, std::u16string_view name) const;
  template <class Look>
  const Look& Resolve(Table<Look> StyleBook::*table, std::u16string_view name) const;

  const StyleBook* fallback_;
  Table<ButtonLook> buttons_;
  Table<LabelLook> labels_;
  Table<TextBoxLook> boxes_;
};

// The program-wide book every scene's book falls back to.
StyleBook& ProgramStyles();

}  // namespace quarn::ui
