// The frame shared by the configuration window's parameter and confirmation dialogs: a
// scene with a background inset by 5 pixels, a title at the top and OK / CANCEL at the
// bottom; and the show step every dialog goes through: values copied in, the dialog
// centred in the caller's rectangle and run modally, the values handed back (changed
// only when the user confirmed with OK).
#pragma once

#include <string>

#include "ui/modal.h"
#include "ui/scene.h"

namespace quarn::dialogs {

// The frame's measures.
inline constexpr float kFrameInset = 5;  // the see-through margin
inline constexpr float kTitleHeight = 45;
inline constexpr float kButtonWidth = 86, kButtonHeight = 40;
inline constexpr float kOkLeft = 50, kCancelLeft = 160;  // in the bottom strip
inline constexpr float kBottomStripHeight = 60;
inline constexpr std::u16string_view kTitleStyle = u"MyLabel";
inline constexpr std::u16string_view kButtonStyle = u"MyMAINOKButtonStyle";

// The frame's looks ("MyLabel", "MyMAINOKButtonStyle") as drawn here, added to `book`.
void AddFrameLooks(ui::StyleBook& book);

// A dialog built on the frame. Derived dialogs add their controls to the scene, load
// their fields into them (Load) and store the controls into the fields (Store), which
// happens only when OK is clicked.
class FrameDialog {
 public:
  FrameDialog(float width, float height, std::u16string title,
              LanguageContext& context = ProgramLanguage());
  virtual ~FrameDialog() = default;
  FrameDialog(const FrameDialog&) = delete;
  FrameDialog& operator=(const FrameDialog&) = delete;

  ui::Scene& GetScene() { return scene_; }
  ui::RectShape& Background() { return *background_; }
  ui::Label& Title() { return *title_; }
  ui::Layout& BottomStrip() { return *strip_; }
  // Null where a dialog has no such button.
  ui::Button* Ok() { return ok_; }
  ui::Button* Cancel() { return cancel_; }
  // The text its window shows in window lists: the title as built.
  const std::u16string& WindowTitle() const { return windowTitle_; }
  int Width() const { return int(scene_.Width()); }
  int Height() const { return int(scene_.Height()); }

  // The box that takes the keyboard focus each time the dialog becomes active (null:
  // none, the dialog leaves the focus alone).
  virtual ui::TextBox* FirstInputBox() { return nullptr; }
  // Fields into controls, before the dialog shows.
  virtual void Load() {}
  // Controls into fields; called by OK only.
  virtual void Store() {}

 protected:
  // Removes OK and CANCEL, for dialogs that bring their own buttons.
  void RemoveOkCancel();

 private:
  ui::Scene scene_;
  std::u16string windowTitle_;
  ui::RectShape* background_ = nullptr;
  ui::Label* title_ = nullptr;
  ui::Layout* strip_ = nullptr;
  ui::Button* ok_ = nullptr;
  ui::Button* cancel_ = nullptr;
};

// What runs a dialog: shows it with its top-left at `at` and returns its modal result
// (1 OK, 2 cancelled, closed, or ended by the program quitting).
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual int Run(FrameDialog& dialog, ui::ScreenPoint at) = 0;
};

// The show step of a dialog kind D, which has a member `fields` of type Values and a
// default constructor: a new D gets `values`, is centred in `area` (truncating toward
// zero) and run; then `values` gets the dialog's fields, whatever the result, which the
// dialog changes only on OK. Returns the modal result.
template <class D, class Values>
int ShowFrameDialog(Values& values, const ui::ScreenRect& area, DialogRunner& runner) {
  D dialog;
  dialog.GetScene().RetranslateTexts();  // designed texts; Load's texts show as set
  dialog.fields = values;
  dialog.Load();
  const ui::ScreenPoint at = ui::CenterIn(area, dialog.Width(), dialog.Height());
  const int result = runner.Run(dialog, at);
  values = dialog.fields;
  return result;
}

}  // namespace quarn::dialogs
