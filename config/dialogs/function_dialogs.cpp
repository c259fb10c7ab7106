#include "function_dialogs.h"

#include <algorithm>

#include "button_captions.h"
#include "function_dialog_models.h"
#include "vn_hook.h"

namespace quarn::dialogs {

using namespace quarn::ui;

namespace {

// How far the fire-key rows sit below their designed places, clear of the frame's title.
constexpr float kContentDrop = 30;

Label& AddLabel(FrameDialog& d, const char16_t* name, const char16_t* text, float x, float y) {
  Label& l = d.GetScene().Root().Add<Label>();
  l.name = name;
  l.SetBounds(x, y, 160, 20);
  l.font = {u"Verdana", 13};
  l.format = {AlignH::Trailing, AlignV::Center};
  l.SetStyleLookup(std::u16string(kTitleStyle));  // light text on the frame's background
  l.SetText(text);
  return l;
}

NumberBox& AddNumberBox(FrameDialog& d, const char16_t* name, float x, float y) {
  NumberBox& b = d.GetScene().Root().Add<NumberBox>();
  b.name = name;
  b.SetBounds(x, y, 80, 22);
  b.SetRange(kFireKeyMin, kFireKeyMax);
  b.font = {u"Verdana", 12, true};
  b.align = AlignH::Center;
  return b;
}

template <class D, class Values>
int RunDialog(D& dialog, Values& values, const ScreenRect& area, DialogRunner& runner) {
  dialog.GetScene().RetranslateTexts();
  dialog.fields = values;
  dialog.Load();
  const ScreenPoint at = CenterIn(area, dialog.Width(), dialog.Height());
  const int result = runner.Run(dialog, at);
  values = dialog.fields;
  return result;
}

}  // namespace

// ---- fire key ----

FireKeyDialog::FireKeyDialog() : FrameDialog(308, 197, u"Fire Key...") {
  // The rows sit below the frame's title.
  AddLabel(*this, u"LabelFireTimes", u"Fire Times:", 19, 25 + kContentDrop);
  NumBoxFire = &AddNumberBox(*this, u"NumBoxFire", 190, 23 + kContentDrop);
  AddLabel(*this, u"LabelFireDelay", u"Fire Delay(ms):", 19, 56 + kContentDrop);
  NumboxDelay = &AddNumberBox(*this, u"NumboxDelay", 190, 53 + kContentDrop);
}

void FireKeyDialog::Load() {
  shown_ = FireKeyDialogStart(fields);
  NumBoxFire->SetValue(shown_.nLoopCount);
  NumboxDelay->SetValue(shown_.DelyValue);
}

void FireKeyDialog::Store() {
  fields.nLoopCount = FireKeyBoxValue(NumBoxFire->Text(), shown_.nLoopCount);
  fields.DelyValue = FireKeyBoxValue(NumboxDelay->Text(), shown_.DelyValue);
}

int ShowFireKeyDialog(TFIREKEYINFO& values, const ScreenRect& area, DialogRunner& runner) {
  FireKeyDialog dialog;
  return RunDialog(dialog, values, area, runner);
}

// ---- key combination ----

ComboKeyDialog::ComboKeyDialog(HookPlatform& platform, std::function<void()> post)
    : FrameDialog(300, 201, u"Virtual Keyboard"),
      hook_(std::make_unique<TvnHook>(platform)),
      post_(std::move(post)) {
  TextCombo = &GetScene().Root().Add<TextBox>();
  TextCombo->name = u"TextCombo";
  TextCombo->SetBounds(25, 80, 240, 21);
  TextCombo->font = {u"Verdana", 14, true};
  TextCombo->align = AlignH::Center;
  TextCombo->swallowTyping = true;  // only the recording changes the text
  hook_->OnRecordKeyboardComboKey = [this](TvnHook&, std::int32_t key1, std::int32_t ext1,
                                           std::int32_t key2, std::int32_t ext2,
                                           std::int32_t modifier, const std::u16string& text) {
    // Inside the hook procedure: store and post, nothing more.
    report_.values = {static_cast<std::uint16_t>(key1), static_cast<std::uint16_t>(ext1),
                      static_cast<std::uint16_t>(key2), static_cast<std::uint16_t>(ext2),
                      static_cast<std::uint16_t>(modifier)};
    report_.length = std::min(text.size(), report_.text.size());
    std::copy_n(text.begin(), report_.length, report_.text.begin());
    const bool posted = report_.waiting;
    report_.waiting = true;
    if (!posted && post_) post_();
  };
}

ComboKeyDialog::~ComboKeyDialog() {
  StopRecording();
  hook_.reset();  // the component removes whatever it still has installed
}

void ComboKeyDialog::Load() {
  combo_ = fields;
  TextCombo->SetText(ComboKeyDialogText(fields));
}

void ComboKeyDialog::Store() {
  fields = combo_;
}

void ComboKeyDialog::StartRecording() {
  if (recording_) return;
  recording_ = true;
  hook_->RecordKeyboardComboKey();
}

void ComboKeyDialog::StopRecording() {
  if (!recording_) return;
  recording_ = false;
  hook_->StopRecordKeyboardComboKey();
}

void ComboKeyDialog::ApplyRecorded() {
  if (!report_.waiting) return;
  report_.waiting = false;
  const auto& v = report_.values;
  combo_ = {v[0], v[1], v[2], v[3], v[4]};
  TextCombo->SetText(std::u16string(report_.text.data(), report_.length));
  GetScene().SetFocus(TextCombo);
}

int RunComboKeyDialog(ComboKeyDialog& dialog, TCOMBOKEYINFO& values, const ScreenRect& area,
                      DialogRunner& runner) {
  dialog.GetScene().RetranslateTexts();
  dialog.fields = values;
  dialog.Load();
  const ScreenPoint at = CenterIn(area, dialog.Width(), dialog.Height());
  // The recording ends the moment the dialog has its answer, not when its window
  // has gone: hiding a window can take a while (some 2 s under Wine), and a hook
  // left in place while this thread is busy with it holds up every key typed.
  Scene& scene = dialog.GetScene();
  const auto previous = scene.OnModalResult;
  scene.OnModalResult = [&dialog, previous](int answer) {
    if (answer != kModalNone) dialog.StopRecording();
    if (previous) previous(answer);
  };
  dialog.StartRecording();
  int result = kModalCancel;
  try {
    result = runner.Run(dialog, at);
  } catch (...) {
    scene.OnModalResult = previous;
    throw;
  }
  scene.OnModalResult = previous;
  dialog.StopRecording();
  values = dialog.fields;
  return result;
}

// ---- quick launch ----

QuickLaunchDialog::QuickLaunchDialog(FileChooser& chooser, std::function<void()> pathTooLong)
    : FrameDialog(304, 191, u"Quick Launch..."),
      chooser_(chooser),
      pathTooLong_(std::move(pathTooLong)) {
  QuickLaunchExeFile = &GetScene().Root().Add<TextBox>();
  QuickLaunchExeFile->name = u"QuickLaunchExeFile";
  QuickLaunchExeFile->SetBounds(16, 55, 224, 17);  // below the frame's title
  QuickLaunchExeFile->font = {u"Verdana", 11};
  BTNSelectExeFile = &GetScene().Root().Add<Button>();
  BTNSelectExeFile->name = u"BTNSelectExeFile";
  BTNSelectExeFile->SetBounds(247, 55, 20, 16);
  BTNSelectExeFile->SetText(u"...");
  BTNSelectExeFile->autoTranslate = false;
  BTNSelectExeFile->OnClick = [this](Object&) { BrowseClick(); };
  if (Ok()) {
    // OK ends the dialog itself, once the path is known to fit.
    Ok()->modalResult = kModalNone;
    Ok()->OnClick = [this](Object&) { OkClick(); };
  }
}

void QuickLaunchDialog::Load() {
  QuickLaunchExeFile->SetText(fields);
}

void QuickLaunchDialog::Store() {
  fields = QuickLaunchExeFile->Text();
}

void QuickLaunchDialog::BrowseClick() {
  std::u16string path;
  if (!chooser_.ChooseFile(path)) return;
  if (!ProgramPathFits(path)) {
    if (pathTooLong_) pathTooLong_();
    return;
  }
  QuickLaunchExeFile->SetText(std::move(path));
}

void QuickLaunchDialog::OkClick() {
  if (!ProgramPathFits(QuickLaunchExeFile->Text())) {
    if (pathTooLong_) pathTooLong_();
    return;
  }
  Store();
  GetScene().SetModalResult(kModalOk);
}

int RunQuickLaunchDialog(QuickLaunchDialog& dialog, std::u16string& values, const ScreenRect& area,
                         DialogRunner& runner) {
  return RunDialog(dialog, values, area, runner);
}

}  // namespace quarn::dialogs
