// A canvas for native tests of scenes: it measures text deterministically (at size
// 13 a Latin character is 7 pixels wide and a CJK one 13, scaled with the size) and
// records each call with its rectangle in target pixels and the clip in force.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/graphics.h"

namespace quarn::ui::testing {

class FakeCanvas : public Canvas {
 public:
  struct Call {
    std::string what;  // "rect", "stroke", "ellipse", "path", "picture", "text"
    RectF rect;        // in target pixels
    RectF clip;        // the clip in force (empty: none)
    std::u16string text;
    Fill fill;
  };

  static float CharWidth(char16_t c, float size) {
    const bool wide = c >= 0x1100;  // CJK, Hangul, full-width forms
    return (wide ? 13.0f : 7.0f) * size / 13.0f;
  }

  void FillRect(const RectF& r, const Fill& fill, float) override { Record("rect", r, fill); }
  void StrokeRect(const RectF& r, const Fill& fill, float, float) override {
    Record("stroke", r, fill);
  }
  void FillEllipse(const RectF& r, const Fill& fill) override { Record("ellipse", r, fill); }
  void FillPath(const Path&, const RectF& box, const Fill& fill) override {
    Record("path", box, fill);
  }
  void DrawPicture(const PictureRef&, const RectF& dest, WrapMode, float) override {
    Record("picture", dest, {});
  }
  void DrawText(std::u16string_view text, const RectF& r, const FontSpec&, const Fill& fill,
                const TextFormat&) override {
    Record("text", r, fill, std::u16string(text));
  }
  SizeF MeasureText(std::u16string_view text, const FontSpec& font) override {
    float w = 0;
    for (char16_t c : text) w += CharWidth(c, font.size);
    return {w, text.empty() ? 0 : font.size * 1.25f};
  }
  void PushClip(const RectF& r) override {
    RectF abs = r.Offset(dx_, dy_);
    clips_.push_back(clips_.empty() ? abs : clips_.back().Intersect(abs));
  }
  void PopClip() override {
    if (!clips_.empty()) clips_.pop_back();
  }
  void Translate(float dx, float dy) override {
    dx_ += dx;
    dy_ += dy;
  }

  std::vector<Call> calls;
  std::size_t ClipDepth() const { return clips_.size(); }
  PointF Origin() const { return {dx_, dy_}; }
  // The texts drawn, in order.
  std::vector<std::u16string> Texts() const {
    std::vector<std::u16string> r;
    for (const auto& c : calls)
      if (c.what == "text") r.push_back(c.text);
    return r;
  }

 private:
  void Record(const char* what, const RectF& r, const Fill& fill, std::u16string text = {}) {
    calls.push_back({what, r.Offset(dx_, dy_), clips_.empty() ? RectF{} : clips_.back(),
                     std::move(text), fill});
  }
  float dx_ = 0, dy_ = 0;
  std::vector<RectF> clips_;
};

}  // namespace quarn::ui::testing
