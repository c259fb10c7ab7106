#include "gdiplus_canvas.h"

#include <algorithm>
#include <cmath>

#include "gdiplus_session.h"
#include "wide.h"

namespace quarn::ui {

namespace {

using Gdiplus::GraphicsPath;

Gdiplus::RectF G(const RectF& r) {
  return {r.x, r.y, r.width, r.height};
}

bool Finite(const RectF& r) {
  return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) &&
         std::isfinite(r.height) && std::fabs(r.x) < 1e6f && std::fabs(r.y) < 1e6f &&
         r.width < 1e6f && r.height < 1e6f;
}

// A GDI+ bitmap over a picture's own pixels (no copy); the picture must outlive it.
std::unique_ptr<Gdiplus::Bitmap> WrapPicture(const Picture& picture) {
  if (picture.Empty() ||
      picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height))
    return nullptr;
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(
      picture.width, picture.height, picture.width * 4, PixelFormat32bppPARGB,
      reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(picture.pixels.data())));
  if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return bitmap;
}

// A brush for a fill over a box in device coordinates, with whatever it draws from.
struct Brush {
  std::unique_ptr<Gdiplus::Bitmap> bitmap;
  std::unique_ptr<Gdiplus::Brush> brush;
};

Brush MakeBrush(const Fill& fill, const RectF& box) {
  Brush b;
  switch (fill.kind) {
    case Fill::Kind::None:
      break;
    case Fill::Kind::Solid:
      b.brush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(fill.color));
      break;
    case Fill::Kind::LinearGradient: {
      std::vector<GradientStop> stops = fill.stops;
      if (stops.empty()) break;
      for (auto& s : stops)
        s.offset = std::clamp(std::isfinite(s.offset) ? s.offset : 0.f, 0.f, 1.f);
      std::stable_sort(
          stops.begin(), stops.end(),
          [](const GradientStop& a, const GradientStop& c) { return a.offset < c.offset; });
      Gdiplus::PointF p1(box.x + fill.start.x * box.width, box.y + fill.start.y * box.height);
      Gdiplus::PointF p2(box.x + fill.end.x * box.width, box.y + fill.end.y * box.height);
      if (!std::isfinite(p1.X) || !std::isfinite(p1.Y) || !std::isfinite(p2.X) ||
          !std::isfinite(p2.Y) ||
          (std::fabs(p1.X - p2.X) < 0.01f && std::fabs(p1.Y - p2.Y) < 0.01f)) {
        b.brush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(stops.back().color));
        break;
      }
      auto gradient = std::make_unique<Gdiplus::LinearGradientBrush>(
          p1, p2, Gdiplus::Color(stops.front().color), Gdiplus::Color(stops.back().color));
      if (stops.size() > 2 || stops.front().offset > 0 || stops.back().offset < 1) {
        if (stops.front().offset > 0) stops.insert(stops.begin(), {0, stops.front().color});
        if (stops.back().offset < 1) stops.push_back({1, stops.back().color});
        std::vector<Gdiplus::Color> colors;
        std::vector<Gdiplus::REAL> offsets;
        for (const auto& s : stops) {
          colors.emplace_back(s.color);
          offsets.push_back(s.offset);
        }
        gradient->SetInterpolationColors(colors.data(), offsets.data(), int(colors.size()));
      }
      gradient->SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no wrapped colour at the ends
      b.brush = std::move(gradient);
      break;
    }
    case Fill::Kind::Picture: {
      if (!fill.picture) break;
      b.bitmap = WrapPicture(*fill.picture);
      if (!b.bitmap) break;
      const Picture& p = *fill.picture;
      auto wrap = fill.wrap == WrapMode::Original ? Gdiplus::WrapModeClamp : Gdiplus::WrapModeTile;
      auto texture = std::make_unique<Gdiplus::TextureBrush>(b.bitmap.get(), wrap);
      if (texture->GetLastStatus() != Gdiplus::Ok) break;
      float sx = fill.wrap == WrapMode::Stretch ? box.width / p.width : 1;
      float sy = fill.wrap == WrapMode::Stretch ? box.height / p.height : 1;
      Gdiplus::Matrix m(sx, 0, 0, sy, box.x, box.y);
      texture->SetTransform(&m);
      b.brush = std::move(texture);
      break;
    }
  }
  return b;
}

void AddRoundRect(GraphicsPath& path, const RectF& r, float radius) {
  float d = std::min({radius * 2, r.width, r.height});
  path.AddArc(r.x, r.y, d, d, 180, 90);
  path.AddArc(r.Right() - d, r.y, d, d, 270, 90);
  path.AddArc(r.Right() - d, r.Bottom() - d, d, d, 0, 90);
  path.AddArc(r.x, r.Bottom() - d, d, d, 90, 90);
  path.CloseFigure();
}

Gdiplus::StringAlignment Align(AlignH a) {
  return a == AlignH::Center     ? Gdiplus::StringAlignmentCenter
         : a == AlignH::Trailing ? Gdiplus::StringAlignmentFar
                                 : Gdiplus::StringAlignmentNear;
}
Gdiplus::StringAlignment Align(AlignV a) {
  return a == AlignV::Center     ? Gdiplus::StringAlignmentCenter
         : a == AlignV::Trailing ? Gdiplus::StringAlignmentFar
                                 : Gdiplus::StringAlignmentNear;
}

constexpr int kNoWrapFlags = Gdiplus::StringFormatFlagsNoWrap;

}  // namespace

GdiplusCanvas::GdiplusCanvas(HDC dc) : session_(GdiplusSession::Current()) {
  if (!session_ || !dc) return;
  auto graphics = std::make_unique<Gdiplus::Graphics>(dc);
  if (graphics->GetLastStatus() != Gdiplus::Ok) return;
  graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  graphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
  graphics->SetCompositingQuality(Gdiplus::CompositingQualityHighSpeed);
  graphics_ = std::move(graphics);
}

GdiplusCanvas::~GdiplusCanvas() = default;

void GdiplusCanvas::FillShape(const GraphicsPath* path, const RectF& device, const Fill& fill) {
  // Only the part inside the clip is filled: a repaint of one small area does not pay for
  // the whole of a large background. The brush stays anchored at the full box.
  RectF visible = Visible(device);
  if (visible.Empty()) return;
  Brush b = MakeBrush(fill, device);
  if (!b.brush) return;
  if (path)
    graphics_->FillPath(b.brush.get(), path);
  else
    graphics_->FillRectangle(b.brush.get(), G(visible));
}

RectF GdiplusCanvas::Visible(const RectF& device) const {
  return clips_.empty() ? device : device.Intersect(clips_.back());
}

void GdiplusCanvas::FillRect(const RectF& r, const Fill& fill, float radius) {
  if (!Ready() || r.Empty() || !Finite(r) || !fill.Visible()) return;
  RectF d = ToDevice(r);
  if (radius > 0 && std::isfinite(radius)) {
    GraphicsPath path;
    AddRoundRect(path, d, radius);
    FillShape(&path, d, fill);
  } else {
    FillShape(nullptr, d, fill);
  }
}

void GdiplusCanvas::StrokeRect(const RectF& r, const Fill& fill, float width, float radius) {
  if (!Ready() || r.Empty() || !Finite(r) || !fill.Visible() || !(width > 0)) return;
  width = std::min({width, r.width / 2, r.height / 2});
  RectF d = ToDevice(r).Inflate(-width / 2, -width / 2);
  Brush b = MakeBrush(fill, ToDevice(r));
  if (!b.brush) return;
  Gdiplus::Pen pen(b.brush.get(), width);
  if (radius > 0 && std::isfinite(radius)) {
    GraphicsPath path;
    AddRoundRect(path, d, std::max(0.f, radius - width / 2));
    graphics_->DrawPath(&pen, &path);
  } else {
    graphics_->DrawRectangle(&pen, G(d));
  }
}

void GdiplusCanvas::FillEllipse(const RectF& r, const Fill& fill) {
  if (!Ready() || r.Empty() || !Finite(r) || !fill.Visible()) return;
  RectF d = ToDevice(r);
  GraphicsPath path;
  path.AddEllipse(G(d));
  FillShape(&path, d, fill);
}

void GdiplusCanvas::FillPath(const Path& path, const RectF& box, const Fill& fill) {
  if (!Ready() || box.Empty() || !Finite(box) || !fill.Visible() || path.segments.empty()) return;
  RectF d = ToDevice(box);
  auto map = [&](PointF p) { return Gdiplus::PointF(d.x + p.x * d.width, d.y + p.y * d.height); };
  GraphicsPath gp;
  Gdiplus::PointF at(d.x, d.y);
  bool open = false;
  for (const auto& s : path.segments) {
    switch (s.op) {
      case Path::Op::Move:
        gp.StartFigure();
        at = map(s.p[0]);
        open = true;
        break;
      case Path::Op::Line: {
        auto to = map(s.p[0]);
        gp.AddLine(at, to);
        at = to;
        open = true;
        break;
      }
      case Path::Op::Cubic: {
        auto to = map(s.p[2]);
        gp.AddBezier(at, map(s.p[0]), map(s.p[1]), to);
        at = to;
        open = true;
        break;
      }
      case Path::Op::Close:
        if (open) gp.CloseFigure();
        open = false;
        break;
    }
  }
  FillShape(&gp, d, fill);
}

void GdiplusCanvas::DrawPicture(const PictureRef& picture, const RectF& dest, WrapMode wrap,
                                float opacity) {
  if (!Ready() || !picture || dest.Empty() || !Finite(dest) || !(opacity > 0)) return;
  if (Visible(ToDevice(dest)).Empty()) return;
  auto bitmap = WrapPicture(*picture);
  if (!bitmap) return;
  RectF d = ToDevice(dest);
  Gdiplus::ImageAttributes attributes;
  if (opacity < 1) {
    Gdiplus::ColorMatrix m = {{{1, 0, 0, 0, 0},
                               {0, 1, 0, 0, 0},
                               {0, 0, 1, 0, 0},
                               {0, 0, 0, opacity, 0},
                               {0, 0, 0, 0, 1}}};
    attributes.SetColorMatrix(&m);
  }
  float w = float(picture->width), h = float(picture->height);
  switch (wrap) {
    case WrapMode::Stretch:
      attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no blur from outside the edges
      graphics_->DrawImage(bitmap.get(), G(d), 0, 0, w, h, Gdiplus::UnitPixel, &attributes);
      break;
    case WrapMode::Original:
      PushClip(dest);
      graphics_->DrawImage(bitmap.get(), Gdiplus::RectF(d.x, d.y, w, h), 0, 0, w, h,
                           Gdiplus::UnitPixel, &attributes);
      PopClip();
      break;
    case WrapMode::Tile: {
      Gdiplus::TextureBrush brush(bitmap.get(), Gdiplus::RectF(0, 0, w, h), &attributes);
      if (brush.GetLastStatus() != Gdiplus::Ok) return;
      brush.SetWrapMode(Gdiplus::WrapModeTile);
      brush.TranslateTransform(d.x, d.y);
      RectF visible = Visible(d);
      if (!visible.Empty()) graphics_->FillRectangle(&brush, G(visible));
      break;
    }
  }
}

void GdiplusCanvas::DrawText(std::u16string_view text, const RectF& r, const FontSpec& font,
                             const Fill& fill, const TextFormat& format) {
  if (!Ready() || text.empty() || r.Empty() || !Finite(r) || !fill.Visible()) return;
  RectF d = ToDevice(r);
  if (Visible(d.Inflate(2, 2)).Empty()) return;
  Gdiplus::Font* f = session_->Fonts().FontFor(font, text);
  if (!f) return;
  Gdiplus::StringFormat sf(format.wordWrap ? 0 : kNoWrapFlags);
  sf.SetAlignment(Align(format.alignH));
  sf.SetLineAlignment(Align(format.alignV));
  sf.SetTrimming(Gdiplus::StringTrimmingNone);
  graphics_->SetTextRenderingHint(font.clearType ? Gdiplus::TextRenderingHintClearTypeGridFit
                                                 : Gdiplus::TextRenderingHintAntiAliasGridFit);
  std::wstring wide = ToWide(text);
  if (format.shadow) {
    Gdiplus::SolidBrush shadow{Gdiplus::Color(format.shadowColor)};
    graphics_->DrawString(wide.c_str(), int(wide.size()), f, G(d.Offset(1, 1)), &sf, &shadow);
  }
  Brush b = MakeBrush(fill, d);
  if (b.brush) graphics_->DrawString(wide.c_str(), int(wide.size()), f, G(d), &sf, b.brush.get());
}

SizeF GdiplusCanvas::MeasureText(std::u16string_view text, const FontSpec& font) {
  if (!Ready() || text.empty()) return {};
  Gdiplus::Font* f = session_->Fonts().FontFor(font, text);
  if (!f) return {};
  Gdiplus::StringFormat sf(kNoWrapFlags | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
  sf.SetTrimming(Gdiplus::StringTrimmingNone);
  std::wstring wide = ToWide(text);
  Gdiplus::RectF bounds;
  if (graphics_->MeasureString(wide.c_str(), int(wide.size()), f, Gdiplus::PointF(0, 0), &sf,
                               &bounds) != Gdiplus::Ok)
    return {};
  return {bounds.Width, bounds.Height};
}

void GdiplusCanvas::ApplyClip() {
  if (clips_.empty())
    graphics_->ResetClip();
  else
    graphics_->SetClip(G(clips_.back()));
}

void GdiplusCanvas::PushClip(const RectF& r) {
  RectF d = Finite(r) ? ToDevice(r) : RectF{};
  clips_.push_back(clips_.empty() ? (d.Empty() ? RectF{} : d) : clips_.back().Intersect(d));
  if (Ready()) ApplyClip();
}

void GdiplusCanvas::PopClip() {
  if (clips_.empty()) return;
  clips_.pop_back();
  if (Ready()) ApplyClip();
}

void GdiplusCanvas::Translate(float dx, float dy) {
  if (!std::isfinite(dx) || !std::isfinite(dy)) return;
  dx_ += dx;
  dy_ += dy;
}

}  // namespace quarn::ui
