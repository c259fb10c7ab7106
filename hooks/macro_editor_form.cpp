#include "macro_editor_form.h"

#include <utility>

namespace quarn {

using namespace quarn::ui;

namespace {

constexpr float kInset = dialogs::kFrameInset;
constexpr Color kIndicatorRed = Rgb(0xFF, 0, 0);

// A row of the action list: a press mark (down arrow), a release mark (up arrow,
// indented), a mouse mark, or only the delay's digits.
class MacroRowItem : public ListBoxItem {
 public:
  explicit MacroRowItem(MacroRowKind k) : kind(k) {
    font = {u"Verdana", 12};
    switch (kind) {
      case MacroRowKind::Delay:
        indent = MacroEditorForm::kDelayTextLeft;
        break;
      case MacroRowKind::KeyDown:
        padding = {30, 0, 0, 0};
        break;
      case MacroRowKind::KeyUp:
        indent = 15;
        padding = {15 + 15, 0, 0, 0};
        break;
      case MacroRowKind::Mouse:
        padding = {30, 0, 0, 0};
        break;
    }
  }
  void Draw(Canvas& canvas) override {
    ListBoxItem::Draw(canvas);
    if (kind == MacroRowKind::Delay) return;
    const float h = Height();
    const RectF mark{indent + 6, (h - 12) / 2, 12, 12};
    Path p;
    if (kind == MacroRowKind::KeyDown) {
      p.MoveTo(0, 0.1f).LineTo(1, 0.1f).LineTo(0.5f, 0.9f).Close();
      canvas.FillPath(p, mark, Fill::Solid(Rgb(0x40, 0xD0, 0x60)));
    } else if (kind == MacroRowKind::KeyUp) {
      p.MoveTo(0, 0.9f).LineTo(1, 0.9f).LineTo(0.5f, 0.1f).Close();
      canvas.FillPath(p, mark, Fill::Solid(Rgb(0xE0, 0x80, 0x40)));
    } else {
      canvas.FillEllipse(mark, Fill::Solid(Rgb(0xD0, 0xD0, 0xD0)));
    }
  }
  MacroRowKind kind;
};

}  // namespace

MacroEditorForm::MacroEditorForm(HookPlatform& platform, LanguageContext& context)
    : FrameDialog(kWidth, kHeight, u"Macro Key...", context),
      hook_(std::make_unique<TvnHook>(platform)),
      editor_(std::make_unique<MacroEditor>(*hook_)) {
  Layout& root = GetScene().Root();
  Title().SetBounds(kInset, kInset, kWidth - 2 * kInset, kTitleStrip);
  Title().padding = {0, 15, 0, 0};
  Title().format = {AlignH::Center, AlignV::Leading};

  // The action list, inside a layout with margins 15 left and 10 right.
  const float listTop = kInset + kTitleStrip;
  const float listBottom = kHeight - kInset - kBottomStrip;
  list_ = &root.Add<ListBox>();
  list_->name = u"ListBoxMacroKey";
  list_->SetBounds(kInset + 15, listTop, kWidth - 2 * kInset - 15 - 10, listBottom - listTop);
  list_->padding = {7, 10, 13, 10};
  list_->rowHeight = 22;
  list_->background = Fill::Solid(Argb(0x60, 0, 0, 0));

  // The in-row delay box: one box, placed over the delay row being edited.
  delayBox_ = &root.Add<SpinBox>();
  delayBox_->name = u"TextEditDelay";
  delayBox_->bindingName = u"DELAYEDIT";
  delayBox_->SetStyleLookup(u"mytextbox");
  delayBox_->SetRange(MacroEditor::kDelayMin, MacroEditor::kDelayMax);
  delayBox_->SetValue(10);
  delayBox_->step = 1;
  delayBox_->font = {u"Verdana", 12};
  delayBox_->SetVisible(false);

  // The bottom strip: record button, OK, CANCEL.
  BottomStrip().SetBounds(0, kHeight - kInset - kBottomStrip, kWidth, kBottomStrip);
  Ok()->SetBounds(100, 6, dialogs::kButtonWidth, dialogs::kButtonHeight);
  Cancel()->SetBounds(200, 6, dialogs::kButtonWidth, dialogs::kButtonHeight);
  Ok()->name = u"BTNOK";
  Cancel()->name = u"BTNCANCEL";
  Ok()->font = Cancel()->font = {u"Verdana", 13, true};
  Cancel()->OnClick = [this](Object&) { editor_->Cancel(); };

  record_ = &BottomStrip().Add<Button>();
  record_->name = u"BtnMacroStart";
  record_->SetBounds(26, 15, 50, 28);
  record_->cursor = Cursor::Hand;
  record_->SetStyleLookup(u"MacroRecordButton");
  ButtonLook look = ButtonLook::Default();
  look.radius = 6;
  const Fill darkRed = Fill::Gradient(Rgb(0x8C, 0x14, 0x14), Rgb(0x50, 0x08, 0x08));
  look.normal = {darkRed, Fill::None(), Fill::Solid(Rgb(0xB0, 0x40, 0x40)), nullptr};
  look.hover = {Fill::Gradient(Rgb(0xA8, 0x20, 0x20), Rgb(0x64, 0x0C, 0x0C)), Fill::None(),
                Fill::Solid(Rgb(0xE0, 0x60, 0x60)), nullptr};
  look.pressed = look.normal;
  look.disabled = look.normal;
  GetScene().Styles().Add(u"MacroRecordButton", look);
  record_->OnClick = [this](Object&) { editor_->RecordButtonClick(); };

  indicator_ = &record_->Add<EllipseShape>();
  indicator_->name = u"RECORDANI";
  indicator_->hitTest = false;
  indicator_->SetBounds(18, 7, 14, 14);
  indicator_->fill = Fill::Solid(kIndicatorRed);
  animation_.startValue = Rgb(0xFF, 0xFF, 0xFF);
  animation_.stopValue = kIndicatorRed;
  animation_.durationMs = 3000;
  animation_.autoReverse = true;
  animation_.loop = true;

  // The action menu and the second menu of the form.
  for (const char16_t* caption :
       {u"Record New Action", u"Delete Action", u"Move Up Action", u"Move Down Action",
        u"Copy Action", u"Cut Action", u"Paste Action"})
    actionMenu_.Items().Add()->Caption = caption;
  // Its own look: rows 25 high and 360 wide, dark gradient rows, red when hovered or
  // pressed, white Verdana text.
  actionMenu_.UseCustomMenuParams = true;
  menu::TMenuParams& p = actionMenu_.Parameters;
  p.BGFill = Fill::Solid(Rgb(0x18, 0x18, 0x1C));
  p.MenuTextPadding = {10, 5, 10, 5};
  p.ItemNormalFill = Fill::Gradient(Rgb(0x3C, 0x3C, 0x44), Rgb(0x1C, 0x1C, 0x22));
  p.ItemOverFill = Fill::Gradient(Rgb(0xD0, 0x20, 0x20), Rgb(0x80, 0x08, 0x08));
  p.ItemDownFill = p.ItemOverFill;
  p.ItemFontFill = Fill::Solid(Rgb(0xFF, 0xFF, 0xFF));
  p.ItemFont = {u"Verdana", 12};
  p.ItemHeight = 25;
  p.ItemWidth = 360;
  p.ItemAutoSize = false;
  for (const char16_t* caption : {u"Rename", u"Up", u"Down"})
    macroMenu_.Items().Add()->Caption = caption;
  actionMenu_.OnItemsClick = [this](menu::TvnMenuItemEx&, const std::u16string&, std::uint32_t id,
                                    const void*, std::int32_t) {
    editor_->ActionMenuClick(static_cast<std::int64_t>(id));
  };

  // The editor drives the scene; the scene's events drive the editor.
  editor_->Translate = [&context](std::u16string_view text) { return context.Translate(text); };
  editor_->OnLiveRow = [this](int row) { newestLiveRow_ = row; };
  editor_->OnRowsChanged = [this] { ShowRows(); };
  list_->OnChange = [this](Object&) { editor_->SelectRow(list_->ItemIndex()); };
  list_->OnDblClick = [this](Object&) { StartDelayEdit(); };
  list_->OnMouseUp = [this](Object&, MouseButton button, PointF local) {
    if (button == MouseButton::Right && editor_->CanOpenActionMenu() && OnShowActionMenu)
      OnShowActionMenu(local);
  };
  delayBox_->OnCommit = [this](SpinBox&, std::int64_t value) {
    const int row = editor_->EditingRow();
    if (row < 0) return;
    editor_->CommitDelay(value);
    EndDelayEdit();
  };
  delayBox_->OnKillFocus = [this](Object&) {
    editor_->EndDelayEdit();
    EndDelayEdit();
  };
  ShowRows();
}

MacroEditorForm::~MacroEditorForm() {
  // The editor unbinds itself from the hook component before the component goes.
  editor_.reset();
  hook_.reset();
}

void MacroEditorForm::Store() {
  editor_->Ok();
}

void MacroEditorForm::ShowRows() {
  const float scroll = list_->ScrollOffset();
  list_->Clear();
  for (const MacroEditorRow& r : editor_->Rows()) {
    auto item = std::make_unique<MacroRowItem>(r.kind);
    item->SetText(r.text);
    list_->AddRow(std::move(item));
  }
  list_->SetItemIndex(editor_->SelectedRow());
  list_->ScrollTo(scroll);
  if (newestLiveRow_ >= 0) list_->ScrollIntoView(newestLiveRow_);
  newestLiveRow_ = -1;

  // Only the record button stays usable while recording.
  const bool usable = editor_->ControlsEnabled();
  list_->SetEnabled(usable);
  Ok()->SetEnabled(usable);
  Cancel()->SetEnabled(usable);
  const RecordIndicatorState state = editor_->Indicator();
  indicator_->SetVisible(state.visible);
  if (state.animating && !animation_.Running()) {
    animation_.Start(Now());
  } else if (!state.animating && animation_.Running()) {
    animation_.Stop(Now());
  }
  AnimationTick(Now());
  if (editor_->EditingRow() < 0) EndDelayEdit();
}

void MacroEditorForm::AnimationTick(std::uint64_t nowMs) {
  const Color c = animation_.Running() ? animation_.ValueAt(nowMs) : indicator_->fill.color;
  if (indicator_->fill.kind == Fill::Kind::Solid && indicator_->fill.color == c) return;
  indicator_->fill = Fill::Solid(c);
  indicator_->Invalidate();
}

void MacroEditorForm::StartDelayEdit() {
  std::int64_t value = 0;
  if (!editor_->BeginDelayEdit(value)) return;
  const int row = editor_->EditingRow();
  Object* item = list_->Row(row);
  if (item == nullptr) return;
  list_->ScrollIntoView(row);
  const RectF r = item->AbsoluteRect();
  delayBox_->SetBounds(r.x + kDelayTextLeft - 4, r.y + 1, 80, r.height - 2);
  delayBox_->SetValue(value);
  delayBox_->SetVisible(true);
  GetScene().SetFocus(delayBox_);
}

void MacroEditorForm::EndDelayEdit() {
  if (!delayBox_->Visible()) return;
  delayBox_->SetVisible(false);
}

int ShowMacroDialog(TMACROKEYINFO& macro, const ScreenRect& area, HookPlatform& platform,
                    dialogs::DialogRunner& runner,
                    const std::function<void(MacroEditorForm&)>& prepare) {
  auto form = std::make_unique<MacroEditorForm>(platform);
  form->GetScene().RetranslateTexts();
  if (prepare) prepare(*form);
  return ShowMacroEditor(macro, form->Editor(), [&] {
    return runner.Run(*form, CenterIn(area, form->Width(), form->Height()));
  });
}

}  // namespace quarn
