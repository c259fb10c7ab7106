#include "note_dialog.h"

namespace quarn {

using namespace quarn::ui;

namespace {

void Place(Object& o, const ControlRect& r) {
  o.SetBounds(float(r.X), TNoteDlgForm::kContentTop + float(r.Y), float(r.Width), float(r.Height));
}

}  // namespace

TNoteDlgForm::TNoteDlgForm() : FrameDialog(kNoteDialogWidth, kNoteDialogHeight, u"") {
  Layout& root = GetScene().Root();
  auto label = [&](const char16_t* name, float size) {
    Label& l = root.Add<Label>();
    l.name = name;
    l.SetStyleLookup(std::u16string(dialogs::kTitleStyle));
    l.font = {u"Verdana", size};
    // Long texts wrap inside the label, never into the buttons.
    l.format = {AlignH::Center, AlignV::Center, true};
    l.autoTranslate = false;
    return &l;
  };
  text_ = label(u"LabelText", 13);
  text1_ = label(u"LabelText1", 12);

  warning_ = &root.Add<Layout>();
  warning_->name = u"ImageWarning";
  PathShape& sign = warning_->Add<PathShape>();
  sign.SetBounds(0, 0, 40, 40);
  sign.path.MoveTo(0.5f, 0.04f).LineTo(0.98f, 0.94f).LineTo(0.02f, 0.94f).Close();
  sign.fill = Fill::Solid(Rgb(0xF0, 0xC0, 0x20));
  sign.hitTest = false;
  TextView& mark = warning_->Add<TextView>();
  mark.SetBounds(0, 8, 40, 30);
  mark.font = {u"Verdana", 18, true};
  mark.format = {AlignH::Center, AlignV::Center};
  mark.fill = Fill::Solid(Rgb(0x20, 0x20, 0x20));
  mark.autoTranslate = false;
  mark.SetText(u"!");
  Title().autoTranslate = false;
}

void TNoteDlgForm::Load() {
  const NoteDialogLayout layout = LayoutNoteDialog(fields.ShowWarning);
  Title().SetText(fields.Title);
  text_->SetText(fields.Text);
  text1_->SetText(fields.Text1);
  Place(*text_, layout.Text);
  Place(*text1_, layout.Text1);
  Place(*warning_, layout.Warning);
  warning_->SetVisible(layout.WarningShown);
}

}  // namespace quarn
