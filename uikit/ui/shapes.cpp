#include "ui/shapes.h"

#include "translation.h"

namespace quarn::ui {

void RectShape::Draw(Canvas& canvas) {
  canvas.FillRect(LocalRect(), fill, radius);
  if (stroke.Visible()) canvas.StrokeRect(LocalRect(), stroke, strokeWidth, radius);
}

void EllipseShape::Draw(Canvas& canvas) {
  canvas.FillEllipse(LocalRect(), fill);
}

void PathShape::Draw(Canvas& canvas) {
  canvas.FillPath(path, LocalRect(), fill);
}

void ImageView::SetPicture(PictureRef picture) {
  if (!picture) picture = EmptyPicture();
  if (picture == picture_) return;
  picture_ = std::move(picture);
  Invalidate();
}

void ImageView::Draw(Canvas& canvas) {
  if (!picture_->Empty()) canvas.DrawPicture(picture_, LocalRect(), wrap);
}

void TextObject::SetText(std::u16string text) {
  original_ = text;
  if (text == shown_) return;
  shown_ = std::move(text);
  Invalidate();
}

void TextObject::Retranslate(const LanguageContext* context) {
  if (!autoTranslate) return;
  std::u16string shown = context ? context->Translate(original_) : original_;
  if (shown == shown_) return;
  shown_ = std::move(shown);
  Invalidate();
}

void TextObject::DrawTextIn(Canvas& canvas, const RectF& box, const Fill& fill) const {
  if (shown_.empty()) return;
  canvas.DrawText(shown_, padding.Deflate(box), font, fill, format);
}

void TextView::Draw(Canvas& canvas) {
  DrawTextIn(canvas, LocalRect(), fill);
}

}  // namespace quarn::ui
