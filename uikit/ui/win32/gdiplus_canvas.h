// The toolkit's canvas drawn with GDI+ over a device context (a window's or a memory DC
// holding a 32-bit DIB): anti-aliased shapes, gradients, pictures stretched or tiled,
// text through the session's font resolution, a clip stack and a translation.
#pragma once

#include <memory>
#include <vector>

#include "gdiplus_include.h"
#include "graphics.h"

namespace quarn::ui {

class GdiplusSession;

class GdiplusCanvas final : public Canvas {
 public:
  // Draws on `dc` with the current GDI+ session; without one it draws nothing.
  explicit GdiplusCanvas(HDC dc);
  ~GdiplusCanvas() override;
  GdiplusCanvas(const GdiplusCanvas&) = delete;
  GdiplusCanvas& operator=(const GdiplusCanvas&) = delete;

  void FillRect(const RectF& r, const Fill& fill, float radius = 0) override;
  void StrokeRect(const RectF& r, const Fill& fill, float width, float radius = 0) override;
  void FillEllipse(const RectF& r, const Fill& fill) override;
  void FillPath(const Path& path, const RectF& box, const Fill& fill) override;
  void DrawPicture(const PictureRef& picture, const RectF& dest, WrapMode wrap,
                   float opacity = 1) override;
  void DrawText(std::u16string_view text, const RectF& r, const FontSpec& font, const Fill& fill,
                const TextFormat& format) override;
  SizeF MeasureText(std::u16string_view text, const FontSpec& font) override;

  void PushClip(const RectF& r) override;
  void PopClip() override;
  void Translate(float dx, float dy) override;

 private:
  bool Ready() const { return graphics_ != nullptr; }
  RectF ToDevice(const RectF& r) const { return r.Offset(dx_, dy_); }
  // The part of a device rectangle inside the current clip.
  RectF Visible(const RectF& device) const;
  void ApplyClip();
  void FillShape(const Gdiplus::GraphicsPath* path, const RectF& device, const Fill& fill);

  GdiplusSession* session_ = nullptr;
  std::unique_ptr<Gdiplus::Graphics> graphics_;
  float dx_ = 0, dy_ = 0;
  std::vector<RectF> clips_;  // device coordinates, each inside the one before
};

}  // namespace quarn::ui
