#include "macro_editor.h"

#include <algorithm>
#include <memory>

#include "decimal_text.h"
#include "key_tables.h"

namespace quarn {

namespace {

std::u16string Describe(std::int32_t key, std::int32_t extended) {
  std::u16string text;
  GetKeyDescription(key, extended, text);
  return text;
}

}  // namespace

MacroEditor::MacroEditor(TvnHook& hook) : hook_(hook) {
  hook_.OnRecordKeyboardMacroKeyEx = [this](TvnHook&, std::int32_t, std::int32_t Key1,
                                            std::int32_t AState, std::int32_t Extended, double,
                                            std::uint32_t TotalTime, const std::u16string&,
                                            const std::u16string&, const TvnMacroKeyList&) {
    // Inside the hook procedure: store and post, nothing else.
    if (!recording_ || pendingCount_ >= pending_.size()) return;
    pending_[pendingCount_++] = PendingRow{TotalTime, Key1, Extended, AState};
    if (pendingCount_ == 1 && PostLiveRows) PostLiveRows();
  };
  hook_.OnStopRecordKeyboardMacroKey = [this](TvnHook&, const TvnMacroKeyList& entries) {
    Convert(entries);
  };
}

MacroEditor::~MacroEditor() {
  hook_.OnRecordKeyboardMacroKeyEx = nullptr;
  hook_.OnStopRecordKeyboardMacroKey = nullptr;
  if (recording_) hook_.StopRecordKeyboardMacroKeyEx();
}

void MacroEditor::Load(const TMACROKEYINFO& macro) {
  auto list = std::make_unique<TMACROKEYINFOLIST>();
  list->nMacroInfoCount = 1;
  list->MacroInfos[0] = macro;
  model_.CtlCreate(*std::make_unique<TMACROKEYINFOLIST>());
  model_.SetMacroKeyInfoList(*list);
  model_.SetMacroListIndex(0);
  Refill();
}

bool MacroEditor::Result(TMACROKEYINFO& out) const {
  if (model_.GetIsEmpty()) return false;
  auto list = std::make_unique<TMACROKEYINFOLIST>();
  model_.GetMacroKeyInfoList(*list);
  out = list->MacroInfos[0];
  return true;
}

// --- rows ---------------------------------------------------------------------

std::u16string MacroEditor::RowText(MacroRowKind kind, const TMACROKEY& action) const {
  switch (kind) {
    case MacroRowKind::Delay:
      return DecimalText(action.VALUE1 + 256 * action.VALUE2);
    case MacroRowKind::KeyDown:
    case MacroRowKind::KeyUp:
      return u" " + Describe(action.VALUE1, action.VALUE2);
    case MacroRowKind::Mouse: {
      const std::u16string description = Describe(action.VALUE1, action.VALUE2);
      return u" " + (Translate ? Translate(description) : description);
    }
  }
  return {};
}

void MacroEditor::Refill() {
  rows_.clear();
  selectedRow_ = -1;
  editingRow_ = -1;
  TvnActionsClass* actions = Actions();
  if (actions != nullptr) {
    TMACROKEYINFO macro{};
    model_.GetCurrentMacroKeyItem(macro);
    const std::vector<TMACROKEY>& steps = actions->Actions();
    for (const MacroRow& r : MacroRowsOf(steps, macro.nAutoAddDelay))
      rows_.push_back(
          {r.kind, r.action, RowText(r.kind, steps[static_cast<std::size_t>(r.action)])});
    std::vector<MacroRow> plain;
    plain.reserve(rows_.size());
    for (const MacroEditorRow& r : rows_) plain.push_back({r.kind, r.action});
    selectedRow_ = RowOfAction(plain, actions->ActionsIndex());
  }
  insertPosition_ = selectedRow_;
  Changed();
}

void MacroEditor::CheckAndRefill() {
  if (TvnActionsClass* actions = Actions()) actions->CheckErrors();
  Refill();
}

void MacroEditor::Changed() {
  if (OnRowsChanged) OnRowsChanged();
}

void MacroEditor::SelectRow(int row) {
  if (recording_ || row < -1 || row >= static_cast<int>(rows_.size())) return;
  selectedRow_ = row;
  insertPosition_ = row;
  if (row >= 0) {
    const int action = rows_[static_cast<std::size_t>(row)].action;
    if (TvnActionsClass* actions = Actions(); actions != nullptr && action >= 0)
      actions->SetActionIndex(action);
  }
}

// --- recording ----------------------------------------------------------------

void MacroEditor::RecordButtonClick() {
  if (recording_)
    StopRecording();
  else
    StartRecording(MacroRecordMode::Replace);
}

void MacroEditor::StartRecording(MacroRecordMode mode) {
  // Without the hook library nothing would be recorded, and stopping would leave the
  // macro empty: the button does nothing then.
  if (!hook_.DLLLoaded() || Actions() == nullptr) return;
  mode_ = mode;
  editingRow_ = -1;
  pendingCount_ = 0;
  replacePosition_ = 0;
  if (mode == MacroRecordMode::Replace) {
    rows_.clear();
    selectedRow_ = -1;
  } else {
    insertPosition_ = selectedRow_;
  }
  recording_ = true;
  hook_.RecordKeyboardMacroKeyEx();
  indicator_ = {true, true};
  Changed();
}

void MacroEditor::StopRecording() {
  if (!recording_) return;
  replacePosition_ = 0;
  insertPosition_ = 0;
  pendingCount_ = 0;                     // superseded by the rows of the converted macro
  hook_.StopRecordKeyboardMacroKeyEx();  // converts inside this call
  recording_ = false;
  indicator_ = {true, false};
  Changed();
}

void MacroEditor::InsertLiveRow(MacroEditorRow row) {
  int at = 0;
  if (mode_ == MacroRecordMode::Replace) {
    at = replacePosition_++;
  } else {
    at = ++insertPosition_;
  }
  at = std::clamp(at, 0, static_cast<int>(rows_.size()));
  rows_.insert(rows_.begin() + at, std::move(row));
  if (OnLiveRow) OnLiveRow(at);
}

void MacroEditor::DrawLiveRows() {
  const std::size_t n = pendingCount_;
  pendingCount_ = 0;
  if (!recording_ || n == 0) return;
  for (std::size_t i = 0; i < n; ++i) {
    const PendingRow& p = pending_[i];
    if (static_cast<int>(rows_.size()) >= kMaxLiveRows) break;
    if (p.totalTime > 0 && p.totalTime < kLiveDelayLimit && !rows_.empty())
      InsertLiveRow({MacroRowKind::Delay, -1, DecimalText(p.totalTime)});
    InsertLiveRow({p.state == 1 ? MacroRowKind::KeyDown : MacroRowKind::KeyUp, -1,
                   Describe(p.key, p.extended)});
  }
  Changed();
}

void MacroEditor::Convert(const TvnMacroKeyList& entries) {
  TvnActionsClass* actions = Actions();
  if (actions == nullptr) return;
  TMACROKEYINFO copy{};
  if (!model_.GetCurrentMacroKeyItem(copy)) return;
  copy.nLoopCount = 0;

  int n = 0;
  bool haveKey = false;
  TMACROKEYHOOK lastKey{};
  for (const auto& item : entries) {
    if (n >= kMaxRecordedActions) break;
    const TMACROKEYHOOK& e = item.Object->FMacroKey;
    TMACROKEY step{};
    if (e.nKeyType == 0) {
      const int ms = std::max<int>(e.nKeyValue, kDelayMin);
      step.nKeyType = MACROKEY_DELAY;
      step.VALUE1 = static_cast<std::uint8_t>(ms & 0xFF);
      step.VALUE2 = static_cast<std::uint8_t>(ms >> 8);
    } else if (e.nKeyType == 1) {
      if (haveKey && e.nKeyState == lastKey.nKeyState && e.nKeyValue == lastKey.nKeyValue &&
          e.nKeyValueExtended == lastKey.nKeyValueExtended)
        continue;
      haveKey = true;
      lastKey = e;
      step.nKeyType = MACROKEY_KEYBOARD;
      step.nKeyState = e.nKeyState;
      step.VALUE1 = static_cast<std::uint8_t>(e.nKeyValue);
      step.VALUE2 = static_cast<std::uint8_t>(e.nKeyValueExtended);
    } else {
      continue;
    }
    copy.MacroList[n++] = step;
  }
  copy.MacroListCount = n;
  copy.nAutoAddDelay = 1;

  if (mode_ == MacroRecordMode::Replace)
    actions->SetMacroKeyInfo(copy);
  else
    model_.InsertMacroAfter(copy, actions->ActionsIndex());
  CheckAndRefill();
}

// --- delay edit ---------------------------------------------------------------

bool MacroEditor::BeginDelayEdit(std::int64_t& value) {
  TvnActionsClass* actions = Actions();
  if (recording_ || actions == nullptr || selectedRow_ < 0) return false;
  const MacroEditorRow& row = rows_[static_cast<std::size_t>(selectedRow_)];
  if (row.kind != MacroRowKind::Delay || row.action < 0) return false;
  editingRow_ = selectedRow_;
  value = actions->GetDelayValue(row.action);
  return true;
}

void MacroEditor::CommitDelay(std::int64_t value) {
  const int row = editingRow_;
  editingRow_ = -1;
  TvnActionsClass* actions = Actions();
  if (actions == nullptr || row < 0 || row >= static_cast<int>(rows_.size())) return;
  const int ms = static_cast<int>(std::clamp<std::int64_t>(value, kDelayMin, kDelayMax));
  MacroEditorRow& r = rows_[static_cast<std::size_t>(row)];
  actions->SetDelayValue(r.action, ms);
  r.text = DecimalText(ms);
  Changed();
}

// --- action menu, OK and CANCEL -------------------------------------------------

void MacroEditor::ActionMenuClick(std::int64_t id) {
  if (recording_) return;  // the list and its menu are not usable while recording
  TvnActionsClass* actions = Actions();
  if (actions == nullptr) return;
  const int at = actions->ActionsIndex();
  switch (id) {
    case kMenuRecordNewAction:
      if (!rows_.empty()) StartRecording(MacroRecordMode::InsertAfter);
      break;
    case kMenuDeleteAction:
      actions->DeleteAction(at);
      break;
    case kMenuMoveUpAction:
      actions->MoveUpAction(at);
      break;
    case kMenuMoveDownAction:
      actions->MoveDownAction(at);
      break;
    case kMenuCopyAction:
      actions->CopyAction(at);
      break;
    case kMenuCutAction:
      actions->CutAction(at);
      break;
    case kMenuPasteAction:
      actions->PasteAction(at);
      break;
    default:
      break;
  }
  CheckAndRefill();
  if (recording_) insertPosition_ = selectedRow_;
}

int MacroEditor::Ok() {
  StopRecording();
  return 1;
}

int MacroEditor::Cancel() {
  StopRecording();
  return 2;
}

int ShowMacroEditor(TMACROKEYINFO& macro, MacroEditor& editor,
                    const std::function<int()>& runModal) {
  editor.Load(macro);
  const int result = runModal ? runModal() : 2;
  if (result == 1) {
    TMACROKEYINFO edited{};
    if (editor.Result(edited)) macro = edited;
    return 1;
  }
  return 2;
}

}  // namespace quarn
