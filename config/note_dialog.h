// The window's own confirmation box on the dialog frame: a title, one or two lines of
// text, an optional warning sign, OK and CANCEL. Callers pass texts ready to show.
#pragma once

#include <string>

#include "dialog_frame.h"
#include "note_dialog_layout.h"

namespace quarn {

struct NoteDialogTexts {
  std::u16string Title;
  std::u16string Text;
  std::u16string Text1;
  bool ShowWarning = false;
};

class TNoteDlgForm : public dialogs::FrameDialog {
 public:
  TNoteDlgForm();
  void Load() override;

  NoteDialogTexts fields;

  ui::Label& LabelText() { return *text_; }
  ui::Label& LabelText1() { return *text1_; }
  ui::Object& ImageWarning() { return *warning_; }
  // The content's top in the dialog: the layout's rectangles start below the title.
  static constexpr float kContentTop = dialogs::kFrameInset + dialogs::kTitleHeight;

 private:
  ui::Label* text_ = nullptr;
  ui::Label* text1_ = nullptr;
  ui::Layout* warning_ = nullptr;
};

}  // namespace quarn
