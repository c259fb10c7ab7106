// The primitives a face is drawn from: rectangles, ellipses, paths, pictures and
// texts. TextObject is the base of everything that shows a translatable text.
#pragma once

#include <string>
#include <string_view>

#include "ui/graphics.h"
#include "ui/object.h"

namespace quarn {
class LanguageContext;
}

namespace quarn::ui {

// A filled rectangle with an optional outline and round corners.
class RectShape : public Object {
 public:
  Fill fill = Fill::Solid(Rgb(0xFF, 0xFF, 0xFF));
  Fill stroke;  // None: no outline
  float strokeWidth = 1;
  float radius = 0;
  void Draw(Canvas& canvas) override;
};

class EllipseShape : public Object {
 public:
  Fill fill = Fill::Solid(Rgb(0xFF, 0xFF, 0xFF));
  void Draw(Canvas& canvas) override;
};

// A figure in units of the box (0..1 both ways), filled.
class PathShape : public Object {
 public:
  Path path;
  Fill fill = Fill::Solid(Rgb(0, 0, 0));
  void Draw(Canvas& canvas) override;
};

// A picture stretched, tiled or at its own size; an empty picture draws nothing.
class ImageView : public Object {
 public:
  const PictureRef& Picture() const { return picture_; }
  // Null means the empty picture. Repaints the view.
  void SetPicture(PictureRef picture);
  WrapMode wrap = WrapMode::Stretch;
  void Draw(Canvas& canvas) override;

 private:
  PictureRef picture_ = EmptyPicture();
};

// A text that follows the active language. The text the designs or the program set
// is the original and is shown as set; at every change of language the scene shows
// the translation of the original instead. Setting a text while a language is active
// therefore shows it verbatim, and it is the original for the next change.
class TextObject : public Object {
 public:
  const std::u16string& Text() const { return shown_; }
  const std::u16string& OriginalText() const { return original_; }
  void SetText(std::u16string text);
  // When false, the text is never translated.
  bool autoTranslate = true;
  FontSpec font;
  TextFormat format;
  Margins padding;

  // Shows the translation of the original under `context` (null: the original).
  // Called by the scene.
  void Retranslate(const LanguageContext* context);

 protected:
  void DrawTextIn(Canvas& canvas, const RectF& box, const Fill& fill) const;

 private:
  std::u16string original_;
  std::u16string shown_;
};

// A plain text in its own colour.
class TextView : public TextObject {
 public:
  TextView() { hitTest = false; }
  Fill fill = Fill::Solid(Rgb(0, 0, 0));
  void Draw(Canvas& canvas) override;
};

}  // namespace quarn::ui
