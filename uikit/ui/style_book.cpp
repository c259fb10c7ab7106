#include "ui/looks.h"

namespace quarn::ui {

ButtonLook ButtonLook::Default() {
  ButtonLook l;
  const Fill dark = Fill::Solid(Rgb(0x20, 0x20, 0x20));
  const Fill edge = Fill::Solid(Rgb(0x70, 0x70, 0x70));
  l.normal = {Fill::Gradient(Rgb(0xF4, 0xF4, 0xF4), Rgb(0xD8, 0xD8, 0xD8)), dark, edge, nullptr};
  l.hover = {Fill::Gradient(Rgb(0xFF, 0xFF, 0xFF), Rgb(0xE4, 0xEE, 0xFA)), dark,
             Fill::Solid(Rgb(0x3C, 0x7F, 0xC8)), nullptr};
  l.pressed = {Fill::Gradient(Rgb(0xC4, 0xD4, 0xE8), Rgb(0xDC, 0xE6, 0xF2)), dark,
               Fill::Solid(Rgb(0x2C, 0x5F, 0x98)), nullptr};
  l.disabled = {Fill::Solid(Rgb(0xEC, 0xEC, 0xEC)), Fill::Solid(Rgb(0xA0, 0xA0, 0xA0)),
                Fill::Solid(Rgb(0xC0, 0xC0, 0xC0)), nullptr};
  l.radius = 3;
  return l;
}

bool StyleBook::SetFallback(const StyleBook* fallback) {
  for (const StyleBook* b = fallback; b; b = b->fallback_)
    if (b == this) return false;
  fallback_ = fallback;
  return true;
}

std::u16string StyleBook::Key(std::u16string_view name) {
  std::u16string k(name);
  for (auto& c : k)
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
  return k;
}

template <class Look>
const Look* StyleBook::Find(Table<Look> StyleBook::*table, std::u16string_view name) const {
  if (name.empty()) name = Look::kDefaultName;
  const std::u16string key = Key(name);
  for (const StyleBook* b = this; b; b = b->fallback_) {
    auto it = (b->*table).find(key);
    if (it != (b->*table).end()) return &it->second;
  }
  return nullptr;
}

template <class Look>
const Look& StyleBook::Resolve(Table<Look> StyleBook::*table, std::u16string_view name) const {
  static const Look kDefault = Look::Default();
  const Look* found = Find(table, name);
  return found ? *found : kDefault;
}

const ButtonLook& StyleBook::Button(std::u16string_view name) const {
  return Resolve(&StyleBook::buttons_, name);
}
const LabelLook& StyleBook::Label(std::u16string_view name) const {
  return Resolve(&StyleBook::labels_, name);
}
const TextBoxLook& StyleBook::TextBox(std::u16string_view name) const {
  return Resolve(&StyleBook::boxes_, name);
}

bool StyleBook::HasButton(std::u16string_view name) const {
  return Find(&StyleBook::buttons_, name) != nullptr;
}

StyleBook& ProgramStyles() {
  // Never destroyed: scenes may outlive static destruction order.
  static StyleBook* book = new StyleBook;
  return *book;
}

}  // namespace quarn::ui
