#include "font_resolver.h"

#include <vector>

#include "wide.h"

namespace quarn::ui {

namespace {

// Families that carry Chinese glyphs, tried in order when a family lacks them.
const wchar_t* const kGlyphFallbacks[] = {L"Microsoft YaHei", L"SimSun", L"Tahoma"};
constexpr std::size_t kMaxGlyphEntries = 4096;

std::unique_ptr<Gdiplus::FontFamily> MakeFamily(const std::wstring& name) {
  if (name.empty()) return nullptr;
  auto family = std::make_unique<Gdiplus::FontFamily>(name.c_str());
  if (family->GetLastStatus() != Gdiplus::Ok || !family->IsAvailable()) return nullptr;
  return family;
}

std::wstring FamilyName(const Gdiplus::FontFamily& family) {
  WCHAR name[LF_FACESIZE] = {};
  if (family.GetFamilyName(name) != Gdiplus::Ok) return {};
  return name;
}

HFONT MakeGdiFont(const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfHeight = -16;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

// The face GDI picks for a name, which applies the system's substitutes.
std::wstring GdiFaceFor(HDC dc, const std::wstring& requested) {
  if (!dc) return {};
  HFONT font = MakeGdiFont(requested);
  if (!font) return {};
  HGDIOBJ old = SelectObject(dc, font);
  WCHAR face[LF_FACESIZE] = {};
  int n = GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  DeleteObject(font);
  return n > 0 ? std::wstring(face) : std::wstring();
}

std::wstring GenericSansName() {
  Gdiplus::GpFontFamily* native = nullptr;
  if (Gdiplus::DllExports::GdipGetGenericFontFamilySansSerif(&native) != Gdiplus::Ok || !native)
    return {};
  WCHAR name[LF_FACESIZE] = {};
  Gdiplus::DllExports::GdipGetFamilyName(native, name, LANG_NEUTRAL);
  Gdiplus::DllExports::GdipDeleteFontFamily(native);
  return name;
}

bool PlainAscii(std::u16string_view text) {
  for (char16_t c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

FontResolver::FontResolver() : dc_(CreateCompatibleDC(nullptr)) {}

FontResolver::~FontResolver() {
  Clear();
  if (dc_) DeleteDC(dc_);
}

void FontResolver::Clear() {
  fonts_.clear();
  families_.clear();
  glyphs_.clear();
}

const FontResolver::Family* FontResolver::Resolve(const std::wstring& requested) {
  auto found = families_.find(requested);
  if (found != families_.end()) return found->second.family ? &found->second : nullptr;

  std::vector<std::wstring> chain{requested, GdiFaceFor(dc_, requested), L"Tahoma",
                                  GenericSansName()};
  Family resolved;
  for (const auto& name : chain) {
    if (auto family = MakeFamily(name)) {
      resolved.name = FamilyName(*family);
      if (resolved.name.empty()) resolved.name = name;
      resolved.family = std::move(family);
      break;
    }
  }
  auto& slot = families_[requested] = std::move(resolved);
  return slot.family ? &slot : nullptr;
}

bool FontResolver::HasGlyphs(const std::wstring& face, std::u16string_view text) {
  if (PlainAscii(text)) return true;
  auto key = std::make_pair(face, std::u16string(text));
  auto found = glyphs_.find(key);
  if (found != glyphs_.end()) return found->second;

  bool all = false;
  if (HFONT font = dc_ ? MakeGdiFont(face) : nullptr) {
    HGDIOBJ old = SelectObject(dc_, font);
    std::vector<WORD> indices(text.size());
    std::wstring wide = ToWide(text);
    if (GetGlyphIndicesW(dc_, wide.c_str(), int(wide.size()), indices.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) != GDI_ERROR) {
      all = true;
      for (std::size_t i = 0; i < indices.size(); ++i)
        if (indices[i] == 0xFFFF && wide[i] >= 0x20) all = false;
    }
    SelectObject(dc_, old);
    DeleteObject(font);
  }
  if (glyphs_.size() >= kMaxGlyphEntries) glyphs_.clear();
  glyphs_.emplace(std::move(key), all);
  return all;
}

std::wstring FontResolver::FaceFor(const std::wstring& requested, std::u16string_view text) {
  const Family* family = Resolve(requested);
  if (!family) return requested;
  if (HasGlyphs(family->name, text)) return requested;
  for (const wchar_t* fallback : kGlyphFallbacks) {
    const Family* other = Resolve(fallback);
    if (other && HasGlyphs(other->name, text)) return fallback;
  }
  return requested;  // nobody has them all: boxes are better than nothing
}

Gdiplus::Font* FontResolver::FontFor(const FontSpec& spec, std::u16string_view text) {
  std::wstring face = FaceFor(ToWide(spec.family), text);
  const Family* family = Resolve(face);
  if (!family) return nullptr;
  int style =
      (spec.bold ? Gdiplus::FontStyleBold : 0) | (spec.italic ? Gdiplus::FontStyleItalic : 0);
  // Bold or italic a family does not have: its regular face rather than nothing.
  if (!family->family->IsStyleAvailable(style)) style = Gdiplus::FontStyleRegular;
  float size = spec.size > 0 && spec.size < 1000 ? spec.size : 12;
  auto key = std::make_tuple(family->name, size, style);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.get();
  auto font =
      std::make_unique<Gdiplus::Font>(family->family.get(), size, style, Gdiplus::UnitPixel);
  if (font->GetLastStatus() != Gdiplus::Ok || !font->IsAvailable()) return nullptr;
  return (fonts_[key] = std::move(font)).get();
}

std::u16string FontResolver::ResolvedFamily(std::u16string_view family, std::u16string_view text) {
  std::wstring face = FaceFor(ToWide(family), text);
  const Family* resolved = Resolve(face);
  return resolved ? FromWide(resolved->name) : std::u16string(family);
}

}  // namespace quarn::ui
