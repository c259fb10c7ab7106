// Turns the font a design names into a GDI+ font that really draws: a family that is not
// installed goes through a fallback chain, and a text whose characters the family has no
// glyphs for (Chinese in a Latin family) is drawn with a family that has them. Owned by
// the GDI+ session, so its fonts are gone before GDI+ shuts down.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "gdiplus_include.h"
#include "graphics.h"

namespace quarn::ui {

class FontResolver {
 public:
  FontResolver();
  ~FontResolver();
  FontResolver(const FontResolver&) = delete;
  FontResolver& operator=(const FontResolver&) = delete;

  // The font to draw `text` with in the look of `spec`; null only when no family at all
  // can be made (then nothing should be drawn).
  Gdiplus::Font* FontFor(const FontSpec& spec, std::u16string_view text);

  // The family a request for `family` resolves to (for `text`, when given): never empty.
  std::u16string ResolvedFamily(std::u16string_view family, std::u16string_view text = {});

  // Drops every cached GDI+ object.
  void Clear();

 private:
  struct Family {
    std::unique_ptr<Gdiplus::FontFamily> family;
    std::wstring name;  // as the family reports it
  };
  // The family for a requested name through the chain; null when even the last resort fails.
  const Family* Resolve(const std::wstring& requested);
  // Whether GDI's font for `face` has a glyph for every character of `text`.
  bool HasGlyphs(const std::wstring& face, std::u16string_view text);
  // The requested name, or the glyph fallback when that family lacks glyphs for `text`.
  std::wstring FaceFor(const std::wstring& requested, std::u16string_view text);

  HDC dc_ = nullptr;
  std::map<std::wstring, Family> families_;
  std::map<std::pair<std::wstring, std::u16string>, bool> glyphs_;
  std::map<std::tuple<std::wstring, float, int>, std::unique_ptr<Gdiplus::Font>> fonts_;
};

}  // namespace quarn::ui
