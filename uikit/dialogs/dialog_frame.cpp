#include "dialog_frame.h"

namespace quarn::dialogs {

using namespace quarn::ui;

void AddFrameLooks(StyleBook& book) {
  LabelLook label;
  label.textFill = Fill::Solid(Rgb(0xF0, 0xF0, 0xF0));
  label.shadow = true;
  book.Add(kTitleStyle, label);

  ButtonLook button = ButtonLook::Default();
  button.radius = 5;
  const Color text = Rgb(0xFF, 0xFF, 0xFF);
  button.normal = {Fill::Gradient(Rgb(0x4A, 0x6E, 0xC8), Rgb(0x1E, 0x3C, 0x8C)), Fill::Solid(text),
                   Fill::Solid(Rgb(0x9A, 0xB0, 0xE8)), nullptr};
  button.hover = {Fill::Gradient(Rgb(0x64, 0x8C, 0xE6), Rgb(0x32, 0x55, 0xAA)), Fill::Solid(text),
                  Fill::Solid(Rgb(0xC8, 0xD6, 0xF8)), nullptr};
  button.pressed = {Fill::Gradient(Rgb(0x1E, 0x3C, 0x8C), Rgb(0x14, 0x28, 0x64)), Fill::Solid(text),
                    Fill::Solid(Rgb(0x9A, 0xB0, 0xE8)), nullptr};
  button.disabled = {Fill::Solid(Rgb(0x50, 0x50, 0x58)), Fill::Solid(Rgb(0x90, 0x90, 0x98)),
                     Fill::None(), nullptr};
  book.Add(kButtonStyle, button);
}

FrameDialog::FrameDialog(float width, float height, std::u16string title, LanguageContext& context)
    : scene_(width, height, context), windowTitle_(title) {
  Layout& root = scene_.Root();
  AddFrameLooks(scene_.Styles());

  background_ = &root.Add<RectShape>();
  background_->name = u"BackgroundImage";
  background_->hitTest = false;
  background_->SetBounds(kFrameInset, kFrameInset, width - 2 * kFrameInset,
                         height - 2 * kFrameInset);
  background_->fill = Fill::Gradient(Rgb(0x3A, 0x3F, 0x4C), Rgb(0x1C, 0x1F, 0x27));
  background_->stroke = Fill::Solid(Rgb(0x6A, 0x72, 0x88));
  background_->radius = 6;

  title_ = &root.Add<Label>();
  title_->name = u"LabelTitle";
  title_->SetStyleLookup(std::u16string(kTitleStyle));
  title_->SetBounds(kFrameInset, kFrameInset, width - 2 * kFrameInset, kTitleHeight);
  title_->font = {u"Verdana", 15, true};
  title_->format = {AlignH::Center, AlignV::Center};
  title_->SetText(std::move(title));

  strip_ = &root.Add<Layout>();
  strip_->name = u"LayoutBottom";
  strip_->SetBounds(0, height - kFrameInset - kBottomStripHeight, width, kBottomStripHeight);
  const float buttonTop = (kBottomStripHeight - kButtonHeight) / 2;
  auto button = [&](const char16_t* name, const char16_t* text, float left, int result) {
    Button& b = strip_->Add<Button>();
    b.name = name;
    b.SetStyleLookup(std::u16string(kButtonStyle));
    b.SetBounds(left, buttonTop, kButtonWidth, kButtonHeight);
    b.font = {u"Verdana", 15, true};
    b.SetText(text);
    b.modalResult = result;
    b.cursor = Cursor::Hand;
    return &b;
  };
  ok_ = button(u"BtnOK", u"OK", kOkLeft, kModalOk);
  cancel_ = button(u"BtnCancel", u"CANCEL", kCancelLeft, kModalCancel);
  // OK sets the result before its click handler: the fields are stored in the same
  // dispatch, before the modal run looks at the result.
  ok_->OnClick = [this](Object&) { Store(); };
}

void FrameDialog::RemoveOkCancel() {
  if (ok_) strip_->RemoveChild(*ok_);
  if (cancel_) strip_->RemoveChild(*cancel_);
  ok_ = cancel_ = nullptr;
}

}  // namespace quarn::dialogs
