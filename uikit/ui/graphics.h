// The drawing vocabulary of the toolkit: geometry, colours, fills, fonts, pictures,
// and the two seams below every window's face: a canvas that draws them and a
// decoder that turns stored picture bytes into pixels. Portable: the Win32 host
// implements both over GDI+, native tests use fakes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quarn::ui {

// 0xAARRGGBB, not premultiplied.
using Color = std::uint32_t;

constexpr Color Argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (Color(a) << 24) | (Color(r) << 16) | (Color(g) << 8) | Color(b);
}
constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return Argb(0xFF, r, g, b); }
constexpr std::uint8_t AlphaOf(Color c) { return std::uint8_t(c >> 24); }
constexpr std::uint8_t RedOf(Color c) { return std::uint8_t(c >> 16); }
constexpr std::uint8_t GreenOf(Color c) { return std::uint8_t(c >> 8); }
constexpr std::uint8_t BlueOf(Color c) { return std::uint8_t(c); }

struct PointF {
  float x = 0, y = 0;
  friend bool operator==(const PointF&, const PointF&) = default;
};

struct SizeF {
  float width = 0, height = 0;
  friend bool operator==(const SizeF&, const SizeF&) = default;
};

// A rectangle by its top-left corner and size; empty when either size is <= 0.
struct RectF {
  float x = 0, y = 0, width = 0, height = 0;

  float Right() const { return x + width; }
  float Bottom() const { return y + height; }
  bool Empty() const { return width <= 0 || height <= 0; }
  // Left and top edges inside, right and bottom edges outside.
  bool Contains(PointF p) const { return p.x >= x && p.y >= y && p.x < Right() && p.y < Bottom(); }
  bool Intersects(const RectF& o) const {
    return !Empty() && !o.Empty() && o.x < Right() && x < o.Right() && o.y < Bottom() &&
           y < o.Bottom();
  }
  RectF Intersect(const RectF& o) const {
    float l = std::max(x, o.x), t = std::max(y, o.y);
    float r = std::min(Right(), o.Right()), b = std::min(Bottom(), o.Bottom());
    return r > l && b > t ? RectF{l, t, r - l, b - t} : RectF{};
  }
  // The smallest rectangle holding both; an empty one adds nothing.
  RectF Union(const RectF& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    float l = std::min(x, o.x), t = std::min(y, o.y);
    float r = std::max(Right(), o.Right()), b = std::max(Bottom(), o.Bottom());
    return {l, t, r - l, b - t};
  }
  RectF Offset(float dx, float dy) const { return {x + dx, y + dy, width, height}; }
  RectF Inflate(float dx, float dy) const {
    return {x - dx, y - dy, width + 2 * dx, height + 2 * dy};
  }
  friend bool operator==(const RectF&, const RectF&) = default;
};

// Decoded pixels: premultiplied 0xAARRGGBB, rows top-down, no padding. Immutable once
// shared; an empty picture has no pixels and width = height = 0.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  bool Empty() const { return width <= 0 || height <= 0; }
  std::uint32_t At(int px, int py) const { return pixels[std::size_t(py) * width + px]; }
};
using PictureRef = std::shared_ptr<const Picture>;

// The one shared empty picture (never null).
inline const PictureRef& EmptyPicture() {
  static const PictureRef empty = std::make_shared<const Picture>();
  return empty;
}

enum class WrapMode { Original, Stretch, Tile };

struct GradientStop {
  float offset = 0;  // 0..1 along the gradient line
  Color color = 0;
};

// How an area is painted. Copying a fill copies its value (pictures are shared, never
// changed). Gradient start and end are relative to the filled box: (0,0) top-left,
// (1,1) bottom-right.
struct Fill {
  enum class Kind { None, Solid, LinearGradient, Picture };
  Kind kind = Kind::None;
  Color color = 0;
  PointF start{0, 0}, end{0, 1};
  std::vector<GradientStop> stops;
  PictureRef picture;
  WrapMode wrap = WrapMode::Stretch;

  static Fill None() { return {}; }
  static Fill Solid(Color c) {
    Fill f;
    f.kind = Kind::Solid;
    f.color = c;
    return f;
  }
  // Top to bottom unless told otherwise.
  static Fill Gradient(Color from, Color to, PointF start = {0, 0}, PointF end = {0, 1}) {
    Fill f;
    f.kind = Kind::LinearGradient;
    f.start = start;
    f.end = end;
    f.stops = {{0, from}, {1, to}};
    return f;
  }
  static Fill Image(PictureRef picture, WrapMode wrap = WrapMode::Stretch) {
    Fill f;
    f.kind = Kind::Picture;
    f.picture = std::move(picture);
    f.wrap = wrap;
    return f;
  }
  bool Visible() const { return kind != Kind::None; }
};

// A font as the designs name it: family, size in pixels at 96 DPI, weight and style.
// The host resolves a family it does not have through a fallback chain.
struct FontSpec {
  std::u16string family = u"Verdana";
  float size = 12;
  bool bold = false;
  bool italic = false;
  bool clearType = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class AlignH { Leading, Center, Trailing };
enum class AlignV { Leading, Center, Trailing };

struct TextFormat {
  AlignH alignH = AlignH::Leading;
  AlignV alignV = AlignV::Center;
  bool wordWrap = false;
  bool shadow = false;          // a soft dark copy one pixel down and right
  Color shadowColor = 0x80000000;
};

// A figure in local units of a box (0..1 both ways unless the caller scales it),
// drawn scaled into the rectangle given to the canvas.
struct Path {
  enum class Op { Move, Line, Cubic, Close };
  struct Segment {
    Op op;
    PointF p[3];
  };
  std::vector<Segment> segments;

  Path& MoveTo(float x, float y) { return Add({Op::Move, {{x, y}, {}, {}}}); }
  Path& LineTo(float x, float y) { return Add({Op::Line, {{x, y}, {}, {}}}); }
  Path& CubicTo(PointF c1, PointF c2, PointF to) { return Add({Op::Cubic, {c1, c2, to}}); }
  Path& Close() { return Add({Op::Close, {}}); }

 private:
  Path& Add(Segment s) {
    segments.push_back(s);
    return *this;
  }
};

// Where a scene paints. Coordinates are in pixels of the target after the current
// translation; clips nest and intersect. A canvas never fails: what it cannot draw
// (an empty picture, a font it cannot resolve) it leaves out or draws with a fallback.
class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void FillRect(const RectF& r, const Fill& fill, float radius = 0) = 0;
  // An outline of the given width drawn inside `r`.
  virtual void StrokeRect(const RectF& r, const Fill& fill, float width, float radius = 0) = 0;
  virtual void FillEllipse(const RectF& r, const Fill& fill) = 0;
  // `path` in units of the box `box` (0..1), filled with `fill`.
  virtual void FillPath(const Path& path, const RectF& box, const Fill& fill) = 0;
  // Original draws at the destination's top-left at the picture's own size, clipped to dest.
  virtual void DrawPicture(const PictureRef& picture, const RectF& dest, WrapMode wrap,
                           float opacity = 1) = 0;
  virtual void DrawText(std::u16string_view text, const RectF& r, const FontSpec& font,
                        const Fill& fill, const TextFormat& format) = 0;
  // The size of one line of `text` in `font`, without padding.
  virtual SizeF MeasureText(std::u16string_view text, const FontSpec& font) = 0;

  virtual void PushClip(const RectF& r) = 0;
  virtual void PopClip() = 0;
  // Moves the origin; undone by a matching Translate(-dx, -dy).
  virtual void Translate(float dx, float dy) = 0;
};

// Turns stored bytes (PNG, JPEG) into a picture. Never throws: bytes it cannot or will
// not decode (damaged, unknown kind, larger than kMaxPictureSide either way) give the
// empty picture.
constexpr int kMaxPictureSide = 8192;

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  virtual PictureRef Decode(const std::uint8_t* data, std::size_t size) = 0;
};

}  // namespace quarn::ui
