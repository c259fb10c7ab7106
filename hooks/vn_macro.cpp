#include "vn_macro.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "macro_files.h"
#include "text_field.h"

namespace {

int ClampedStepCount(const TMACROKEYINFO& record) {
  return std::clamp<std::int32_t>(record.MacroListCount, 0, MAX_MACRO_STEPS);
}

std::uint16_t ClampedU16(int value) {
  return static_cast<std::uint16_t>(std::clamp(value, 0, 65535));
}

bool IsPress(const TMACROKEY& action) {
  return action.nKeyState == 1;
}

}  // namespace

// --- TvnActionsClass --------------------------------------------------------

std::unique_ptr<TvnActionsClass> TvnActionsClass::CtrlCreate(const TMACROKEYINFO& record,
                                                             int AMacroIndex,
                                                             TvnMacroClass* model) {
  auto actions = std::make_unique<TvnActionsClass>();
  const int n = ClampedStepCount(record);
  actions->FActionsList.assign(record.MacroList, record.MacroList + n);
  actions->FActionsIndex = n > 0 ? 0 : -1;
  actions->FORGMacroKeyInfo = record;
  actions->FMacroClass = model;
  actions->FMacroIndex = AMacroIndex;
  return actions;
}

void TvnActionsClass::SetActionIndex(int Value) {
  if (Value >= 0 && Value < GetCount()) FActionsIndex = Value;
}

void TvnActionsClass::GetMacroKeyInfo(TMACROKEYINFO& out) const {
  out = FORGMacroKeyInfo;
  out.MacroListCount = GetCount();
  if (!FActionsList.empty())
    std::memcpy(out.MacroList, FActionsList.data(), FActionsList.size() * sizeof(TMACROKEY));
}

void TvnActionsClass::SetMacroKeyInfo(const TMACROKEYINFO& record) {
  const int n = ClampedStepCount(record);
  FActionsList.assign(record.MacroList, record.MacroList + n);
  // An empty macro has nothing to select.
  FActionsIndex = n > 0 ? 0 : -1;
  FORGMacroKeyInfo = record;
  SaveBack();
}

int TvnActionsClass::GetDelayValue(int i) const {
  if (i < 0 || i >= GetCount()) return 0;
  const TMACROKEY& a = FActionsList[static_cast<std::size_t>(i)];
  return a.VALUE1 + 256 * a.VALUE2;
}

void TvnActionsClass::SetDelayValue(int i, int ADelay) {
  if (i < 0 || i >= GetCount()) return;
  const std::uint16_t v = ClampedU16(ADelay);
  TMACROKEY& a = FActionsList[static_cast<std::size_t>(i)];
  a.VALUE1 = static_cast<std::uint8_t>(v & 0xFF);
  a.VALUE2 = static_cast<std::uint8_t>(v >> 8);
  SaveBack();
}

int TvnActionsClass::GetTotalDelay() const {
  int total = 0;
  for (const TMACROKEY& a : FActionsList)
    if (a.nKeyType == MACROKEY_DELAY) total += a.VALUE1 + 256 * a.VALUE2;
  return total;
}

void TvnActionsClass::DeleteAction(int i) {
  if (i < 0 || i >= GetCount()) return;
  FActionsList.erase(FActionsList.begin() + i);
  if (FActionsIndex >= GetCount()) FActionsIndex = GetCount() - 1;
  SaveBack();
}

bool TvnActionsClass::InsertAction(const TMACROKEY& action, int i) {
  if (GetIsActionsFull() || i < 0 || i >= GetCount()) return false;
  FActionsList.insert(FActionsList.begin() + i, action);
  if (FActionsIndex == i) FActionsIndex = i + 1;  // stays on the same action
  SaveBack();
  return true;
}

bool TvnActionsClass::InsertActionAfter(const TMACROKEY& action, int i) {
  if (GetIsActionsFull() || i < 0 || i > GetCount()) return false;
  const int at = i == GetCount() ? i : i + 1;
  FActionsList.insert(FActionsList.begin() + at, action);
  SaveBack();
  return true;
}

void TvnActionsClass::SwapActions(int p, int q) {
  std::swap(FActionsList[static_cast<std::size_t>(p)], FActionsList[static_cast<std::size_t>(q)]);
  if (FActionsIndex == p)
    FActionsIndex = q;
  else if (FActionsIndex == q)
    FActionsIndex = p;
  SaveBack();
}

void TvnActionsClass::MoveUpAction(int i) {
  if (i <= 0 || i >= GetCount()) return;
  SwapActions(i, i - 1);
}

void TvnActionsClass::MoveDownAction(int i) {
  if (i < 0 || i >= GetCount() - 1) return;
  SwapActions(i, i + 1);
}

void TvnActionsClass::CopyAction(int i) {
  if (i < 0 || i >= GetCount()) return;
  FSavedActionsList = FActionsList[static_cast<std::size_t>(i)];
  FCutOperationFlag = false;
  SaveBack();
}

void TvnActionsClass::CutAction(int i) {
  if (i < 0 || i >= GetCount()) return;
  FSavedActionsList = FActionsList[static_cast<std::size_t>(i)];
  DeleteAction(i);
  FCutOperationFlag = true;
}

bool TvnActionsClass::PasteAction(int i) {
  if (!FSavedActionsList) return false;
  if (!InsertAction(*FSavedActionsList, i)) return false;  // a refused paste keeps the clipboard
  if (FCutOperationFlag) {
    FSavedActionsList.reset();
    FCutOperationFlag = false;
  }
  return true;
}

void TvnActionsClass::CheckErrors() {
  // One state per value pair (second byte * 256 + first byte). A macro holds at
  // most 128 steps, so the pairs it touches are few: a short list stands in
  // for the full table.
  struct KeyState {
    std::uint16_t position;
    bool down;
    bool listed;  // keyboard keys are checked for being left down
  };
  std::vector<KeyState> states;
  states.reserve(FActionsList.size());
  std::int32_t errors = 0;
  for (const TMACROKEY& a : FActionsList) {
    if (a.nKeyType != MACROKEY_KEYBOARD && a.nKeyType != MACROKEY_MOUSE &&
        a.nKeyType != MACROKEY_MEDIA)
      continue;
    const auto position = static_cast<std::uint16_t>(a.VALUE2 * 256 + a.VALUE1);
    auto it = std::find_if(states.begin(), states.end(),
                           [&](const KeyState& s) { return s.position == position; });
    if (it == states.end()) {
      states.push_back({position, false, false});
      it = states.end() - 1;
    }
    if (a.nKeyType == MACROKEY_KEYBOARD) it->listed = true;
    if (IsPress(a) == it->down)
      ++errors;  // a press of a held key or a release of a released one
    else
      it->down = IsPress(a);
  }
  for (const KeyState& s : states)
    if (s.listed && s.down) ++errors;
  SetErrorFields(errors > 0 ? 1 : 0, errors);
}

void TvnActionsClass::SetErrorFields(std::int32_t haveErrors, std::int32_t errorCount) {
  // This object's copy follows, so the next write-back keeps the result.
  FORGMacroKeyInfo.HaveErrors = haveErrors;
  FORGMacroKeyInfo.ErrorCount = errorCount;
  if (FMacroClass != nullptr && FMacroClass->IsValidIndex(FMacroIndex)) {
    TMACROKEYINFO& entry = FMacroClass->FMacroKeyInfoList[static_cast<std::size_t>(FMacroIndex)];
    entry.HaveErrors = haveErrors;
    entry.ErrorCount = errorCount;
  }
}

void TvnActionsClass::SaveBack() {
  TMACROKEYINFO edited;
  GetMacroKeyInfo(edited);
  if (FMacroClass != nullptr && FMacroClass->IsValidIndex(FMacroIndex))
    FMacroClass->FMacroKeyInfoList[static_cast<std::size_t>(FMacroIndex)] = edited;
  FORGMacroKeyInfo = edited;
}

// --- TvnMacroClass ----------------------------------------------------------

void TvnMacroClass::CtlCreate(const TMACROKEYINFOLIST& list) {
  FCurrentMacroAction.reset();
  FMacroKeyInfoList.clear();
  FMacroListIndex = -1;
  SetMacroKeyInfoList(list);
}

bool TvnMacroClass::SetMacroKeyInfoList(const TMACROKEYINFOLIST& list) {
  const int stored = std::min<int>(list.nMacroInfoCount, MACRO_LIST_CAPACITY);
  const int room = kMaxMacros - GetMacroListCount();
  const int taken = std::min(stored, room);
  FMacroKeyInfoList.insert(FMacroKeyInfoList.end(), list.MacroInfos, list.MacroInfos + taken);
  if (!FMacroKeyInfoList.empty()) FMacroListIndex = 0;
  return taken == list.nMacroInfoCount;
}

void TvnMacroClass::GetMacroKeyInfoList(TMACROKEYINFOLIST& out) const {
  // The list never holds more than the record has room for.
  out.nMacroInfoCount = static_cast<std::uint16_t>(GetMacroListCount());
  std::copy(FMacroKeyInfoList.begin(), FMacroKeyInfoList.end(), out.MacroInfos);
}

bool TvnMacroClass::GetCurrentMacroKeyItem(TMACROKEYINFO& out) const {
  if (!IsValidIndex(FMacroListIndex)) return false;
  out = FMacroKeyInfoList[static_cast<std::size_t>(FMacroListIndex)];
  return true;
}

void TvnMacroClass::SetMacroListIndex(int Value) {
  if (Value != -1 && !IsValidIndex(Value)) return;
  FMacroListIndex = Value;
  Rebuild();
}

int TvnMacroClass::IndexOfMacroName(std::u16string_view name) const {
  for (int i = 0; i < GetMacroListCount(); ++i)
    if (quarn::ReadText(FMacroKeyInfoList[static_cast<std::size_t>(i)].szMacroName) == name)
      return i;
  return -1;
}

bool TvnMacroClass::CreateNewMacro(std::u16string_view name) {
  if (GetMacroListCount() >= kMaxMacros) return false;
  TMACROKEYINFO macro{};
  if (!quarn::WriteText(macro.szMacroName, name)) return false;
  FMacroKeyInfoList.push_back(macro);
  FMacroListIndex = GetMacroListCount() - 1;
  Renumber();
  Rebuild();
  return true;
}

bool TvnMacroClass::ReNameMacro(std::u16string_view name, int AIndex) {
  if (!IsValidIndex(AIndex)) return false;
  if (!quarn::WriteText(FMacroKeyInfoList[static_cast<std::size_t>(AIndex)].szMacroName, name))
    return false;
  Rebuild();
  return true;
}

void TvnMacroClass::DeleteMacro(int AIndex) {
  if (!IsValidIndex(AIndex)) return;
  FMacroKeyInfoList.erase(FMacroKeyInfoList.begin() + AIndex);
  Renumber();
  if (GetIsEmpty())
    FMacroListIndex = -1;
  else
    FMacroListIndex = std::min(FMacroListIndex, GetMacroListCount() - 1);
  Rebuild();
}

void TvnMacroClass::DeleteMacro(std::u16string_view name) {
  DeleteMacro(IndexOfMacroName(name));
}

void TvnMacroClass::SwapMacros(int p, int q) {
  std::swap(FMacroKeyInfoList[static_cast<std::size_t>(p)],
            FMacroKeyInfoList[static_cast<std::size_t>(q)]);
  if (FMacroListIndex == p)
    FMacroListIndex = q;
  else if (FMacroListIndex == q)
    FMacroListIndex = p;
  Renumber();
  Rebuild();
}

void TvnMacroClass::MoveUpMacro(int AIndex) {
  if (AIndex <= 0 || AIndex >= GetMacroListCount()) return;
  SwapMacros(AIndex, AIndex - 1);
}

void TvnMacroClass::MoveDownMacro(int AIndex) {
  if (AIndex < 0 || AIndex >= GetMacroListCount() - 1) return;
  SwapMacros(AIndex, AIndex + 1);
}

bool TvnMacroClass::InsertMacro(const TMACROKEYINFO& record, int AIndex) {
  TvnActionsClass* actions = FCurrentMacroAction.get();
  if (actions == nullptr || AIndex < 0 || AIndex >= actions->GetCount()) return false;
  const int n = ClampedStepCount(record);
  for (int i = 0; i < n && !actions->GetIsActionsFull(); ++i)
    actions->InsertAction(record.MacroList[i], AIndex + i);
  Rebuild();
  return true;
}

bool TvnMacroClass::InsertMacroAfter(const TMACROKEYINFO& record, int AIndex) {
  TvnActionsClass* actions = FCurrentMacroAction.get();
  if (actions == nullptr || AIndex < 0 || AIndex > actions->GetCount()) return false;
  const int n = ClampedStepCount(record);
  for (int i = 0; i < n && !actions->GetIsActionsFull(); ++i)
    actions->InsertActionAfter(record.MacroList[i], AIndex + i);
  Rebuild();
  return true;
}

void TvnMacroClass::SaveBackCurrentMacroKeyInfo(const TMACROKEYINFO& record) {
  if (!IsValidIndex(FMacroListIndex)) return;
  FMacroKeyInfoList[static_cast<std::size_t>(FMacroListIndex)] = record;
  Rebuild();
}

void TvnMacroClass::SetMacroLoopValue(int AIndex, int ALoopValue) {
  if (!IsValidIndex(AIndex)) return;
  FMacroKeyInfoList[static_cast<std::size_t>(AIndex)].nLoopCount = ClampedU16(ALoopValue);
  Rebuild();
}

void TvnMacroClass::CheckAllErrors() {
  for (int i = 0; i < GetMacroListCount(); ++i)
    TvnActionsClass::CtrlCreate(FMacroKeyInfoList[static_cast<std::size_t>(i)], i, this)
        ->CheckErrors();
  // The selected macro's action object keeps the fresh result too.
  if (FCurrentMacroAction && IsValidIndex(FCurrentMacroAction->FMacroIndex)) {
    const TMACROKEYINFO& entry =
        FMacroKeyInfoList[static_cast<std::size_t>(FCurrentMacroAction->FMacroIndex)];
    FCurrentMacroAction->FORGMacroKeyInfo.HaveErrors = entry.HaveErrors;
    FCurrentMacroAction->FORGMacroKeyInfo.ErrorCount = entry.ErrorCount;
  }
}

bool TvnMacroClass::LoadMacroFromFile(quarn::FileStore& files, std::u16string_view fileName,
                                      TMACROKEYINFO& out) {
  return quarn::LoadMacroFile(files, fileName, out);
}

bool TvnMacroClass::SaveMacroKeyInfoListToMacroFiles(quarn::FileStore& files,
                                                     const TMACROKEYINFOLIST& list,
                                                     std::u16string_view path) {
  return quarn::SaveMacroFiles(files, list, path);
}

void TvnMacroClass::Rebuild() {
  FCurrentMacroAction.reset();
  if (!IsValidIndex(FMacroListIndex)) return;
  FCurrentMacroAction = TvnActionsClass::CtrlCreate(
      FMacroKeyInfoList[static_cast<std::size_t>(FMacroListIndex)], FMacroListIndex, this);
}

void TvnMacroClass::Renumber() {
  for (std::size_t i = 0; i < FMacroKeyInfoList.size(); ++i)
    FMacroKeyInfoList[i].nMacroIndex = static_cast<std::uint16_t>(i);
}
