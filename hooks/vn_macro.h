// The macro model edited by the macro editor. TvnMacroClass holds a list of
// macros with one selected macro and owns the action object of that macro;
// TvnActionsClass holds the editable steps of one macro with a selected step
// and a one-step clipboard, writes every change straight back into the model's
// list and runs the press/release balance check whose result travels with the
// macro. Both are portable; the macro files go through a FileStore.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro_records.h"
#include "stores.h"

class TvnMacroClass;

class TvnActionsClass {
 public:
  // Create: no actions, nothing selected, an empty clipboard.
  TvnActionsClass() = default;
  TvnActionsClass(const TvnActionsClass&) = delete;
  TvnActionsClass& operator=(const TvnActionsClass&) = delete;

  // The actions are the record's first MacroListCount steps (a count outside
  // 0..128 is brought into it); the first one is selected when there is any.
  // `model` may be null: the object then only keeps its own copy.
  static std::unique_ptr<TvnActionsClass> CtrlCreate(const TMACROKEYINFO& record, int AMacroIndex,
                                                     TvnMacroClass* model);

  int GetCount() const { return static_cast<int>(FActionsList.size()); }
  bool GetIsActionsEmpty() const { return FActionsList.empty(); }
  bool GetIsActionsFull() const { return GetCount() >= FMaxActionsCount; }
  int ActionsIndex() const { return FActionsIndex; }
  int MacroIndex() const { return FMacroIndex; }
  const std::vector<TMACROKEY>& Actions() const { return FActionsList; }
  bool HasClipboard() const { return FSavedActionsList.has_value(); }
  bool IsCutOnClipboard() const { return FCutOperationFlag; }

  // Selects a valid position; anything else is ignored.
  void SetActionIndex(int Value);

  // The macro as edited: the original record with the count and the first
  // `count` steps taken from the actions; later steps keep the original's.
  void GetMacroKeyInfo(TMACROKEYINFO& out) const;
  // Replaces the actions and the original record, then writes back.
  void SetMacroKeyInfo(const TMACROKEYINFO& record);

  // The two value bytes of action i as one number, whatever its kind; 0 for an invalid i.
  int GetDelayValue(int i) const;
  // Stores ADelay (brought into 0..65535) in the value bytes of action i.
  void SetDelayValue(int i, int ADelay);
  // Sum of the delay steps.
  int GetTotalDelay() const;

  void DeleteAction(int i);
  // In front of action i (valid i, not full). True when inserted.
  bool InsertAction(const TMACROKEY& action, int i);
  // After action i (valid i), or at the end for i == count (not full). True when inserted.
  bool InsertActionAfter(const TMACROKEY& action, int i);
  void MoveUpAction(int i);
  void MoveDownAction(int i);
  void CopyAction(int i);
  void CutAction(int i);
  // Inserts the clipboard in front of action i. A cut action leaves the
  // clipboard once it has been inserted; a refused paste keeps it. True when inserted.
  bool PasteAction(int i);

  // Counts presses of held keys, releases of released keys and keys left
  // down; the model's entry and this object's copy get HaveErrors/ErrorCount.
  void CheckErrors();
  // Writes the macro into the model's entry, which then becomes the original record.
  void SaveBack();

 private:
  friend class TvnMacroClass;

  void SetErrorFields(std::int32_t haveErrors, std::int32_t errorCount);
  void SwapActions(int p, int q);

  TMACROKEYINFO FORGMacroKeyInfo{};
  std::vector<TMACROKEY> FActionsList;
  int FActionsIndex = -1;
  int FMaxActionsCount = MAX_MACRO_STEPS;
  TvnMacroClass* FMacroClass = nullptr;
  int FMacroIndex = -1;
  bool FCutOperationFlag = false;
  std::optional<TMACROKEY> FSavedActionsList;
};

class TvnMacroClass {
 public:
  // Create: an empty list, nothing selected.
  TvnMacroClass() = default;
  TvnMacroClass(const TvnMacroClass&) = delete;
  TvnMacroClass& operator=(const TvnMacroClass&) = delete;

  // The list holds at most this many macros: the export record's capacity.
  static constexpr int kMaxMacros = MACRO_LIST_CAPACITY;

  // Empties the model, then takes the record's macros; selects the first when
  // there is any, without building its action object.
  void CtlCreate(const TMACROKEYINFOLIST& list);
  // Appends the record's macros (its count brought into 0..21, and no more than
  // the list has room for); selects the first macro when the list is not empty,
  // without rebuilding: callers select with SetMacroListIndex next. True when
  // every macro found room.
  bool SetMacroKeyInfoList(const TMACROKEYINFOLIST& list);
  // Count and entries 0..count-1; the other entries keep what they held.
  void GetMacroKeyInfoList(TMACROKEYINFOLIST& out) const;

  int GetMacroListCount() const { return static_cast<int>(FMacroKeyInfoList.size()); }
  bool GetIsEmpty() const { return FMacroKeyInfoList.empty(); }
  bool GetIsFull() const { return GetMacroListCount() >= FMaxMacroListCount; }
  int MacroListIndex() const { return FMacroListIndex; }

  // The selected macro's action object (null when none is selected). Every
  // operation that rebuilds replaces it, so callers fetch it again afterwards.
  TvnActionsClass* GetCurrentMacroAction() { return FCurrentMacroAction.get(); }
  // A copy of the selected macro; false (and `out` untouched) when none is selected.
  bool GetCurrentMacroKeyItem(TMACROKEYINFO& out) const;
  // Selects a macro and rebuilds its action object; -1 deselects; other values are ignored.
  void SetMacroListIndex(int Value);

  bool MacroExists(std::u16string_view name) const { return IndexOfMacroName(name) >= 0; }
  int IndexOfMacroName(std::u16string_view name) const;

  // Appends a zeroed macro with that name and selects it. False, with no
  // change, when the list is at its capacity or the name does not fit.
  bool CreateNewMacro(std::u16string_view name);
  bool ReNameMacro(std::u16string_view name, int AIndex);
  void DeleteMacro(int AIndex);
  void DeleteMacro(std::u16string_view name);
  void MoveUpMacro(int AIndex);
  void MoveDownMacro(int AIndex);

  // The given macro's steps go into the selected macro in front of (after)
  // action AIndex, as far as they fit. An anchor that is not an action
  // position (or, for the "after" form, the count) changes nothing: false.
  bool InsertMacro(const TMACROKEYINFO& record, int AIndex);
  bool InsertMacroAfter(const TMACROKEYINFO& record, int AIndex);
  void SaveBackCurrentMacroKeyInfo(const TMACROKEYINFO& record);
  // ALoopValue is brought into 0..65535.
  void SetMacroLoopValue(int AIndex, int ALoopValue);
  void CheckAllErrors();

  static bool IsValidMacroVersion(const TMACROKEYINFO& record) {
    return record.Version == MACRO_FORMAT_VERSION;
  }
  // Reads up to 892 bytes of the file over the record. False, with the record
  // untouched, when the file is missing or cannot be read.
  static bool LoadMacroFromFile(quarn::FileStore& files, std::u16string_view fileName,
                                TMACROKEYINFO& out);
  // One file per macro in the folder (created when missing), named after the
  // macro. Macros whose names are not plain file names are skipped; false when
  // any macro was skipped or not written, or the folder is unusable.
  static bool SaveMacroKeyInfoListToMacroFiles(quarn::FileStore& files,
                                               const TMACROKEYINFOLIST& list,
                                               std::u16string_view path);

 private:
  friend class TvnActionsClass;

  bool IsValidIndex(int i) const { return i >= 0 && i < GetMacroListCount(); }
  void Rebuild();
  void Renumber();
  void SwapMacros(int p, int q);

  std::vector<TMACROKEYINFO> FMacroKeyInfoList;
  int FMacroListIndex = -1;
  int FMaxMacroListCount = 20;
  std::unique_ptr<TvnActionsClass> FCurrentMacroAction;
};
