// The macro editor without its window: the rows shown for one macro's actions, the
// recording of new actions through the hook component (replacing the macro, or
// inserted after the selected action), the record indicator's state, the action
// menu, the in-row delay edit and the hand-back of the edited macro. The window
// shows the rows and forwards the user's clicks; everything it decides is here.
//
// The hook component's handlers run inside the hook procedure: they only store the
// recorded key and ask the window to post a message (PostLiveRows). The rows are
// drawn when that message arrives (DrawLiveRows), never inside the hook.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "macro_records.h"
#include "macro_rows.h"
#include "vn_hook.h"
#include "vn_macro.h"

namespace quarn {

// One shown row: its kind and text, and the position of the action it shows (-1 for
// a row drawn while recording, before the recorded keys became actions).
struct MacroEditorRow {
  MacroRowKind kind;
  int action;
  std::u16string text;
  bool operator==(const MacroEditorRow&) const = default;
};

enum class MacroRecordMode { Replace, InsertAfter };

// The record button's indicator: shown, and whether its colour animation runs.
struct RecordIndicatorState {
  bool visible = true;
  bool animating = false;
  bool operator==(const RecordIndicatorState&) const = default;
};

// The action menu's item IDs.
enum MacroMenuItem : std::int64_t {
  kMenuRecordNewAction = 1,
  kMenuDeleteAction = 2,
  kMenuMoveUpAction = 3,
  kMenuMoveDownAction = 4,
  kMenuCopyAction = 5,
  kMenuCutAction = 6,
  kMenuPasteAction = 7,
};

class MacroEditor {
 public:
  // Live rows stop at this many rows; a recording keeps this many actions at most.
  static constexpr int kMaxLiveRows = 59;
  static constexpr int kMaxRecordedActions = 59;
  // The range of a delay.
  static constexpr int kDelayMin = 10;
  static constexpr int kDelayMax = 65535;
  // A live delay row is drawn for pauses shorter than this (milliseconds).
  static constexpr std::uint32_t kLiveDelayLimit = 10000;
  // Recorded keys waiting for the posted message; more are not drawn live (the
  // recording itself keeps them).
  static constexpr std::size_t kPendingCapacity = 128;

  // Binds the hook component's keyboard macro events; the component must outlive
  // the editor.
  explicit MacroEditor(TvnHook& hook);
  // Stops a running recording without converting it and unbinds the events.
  ~MacroEditor();
  MacroEditor(const MacroEditor&) = delete;
  MacroEditor& operator=(const MacroEditor&) = delete;

  // Takes the macro to edit (the model holds it as its only macro) and fills the rows.
  void Load(const TMACROKEYINFO& macro);
  // The edited macro, all 892 bytes; false when nothing is loaded.
  bool Result(TMACROKEYINFO& out) const;

  const std::vector<MacroEditorRow>& Rows() const { return rows_; }
  int SelectedRow() const { return selectedRow_; }
  bool IsRecording() const { return recording_; }
  MacroRecordMode Mode() const { return mode_; }
  // The list and OK / CANCEL are usable (only the record button is while recording).
  bool ControlsEnabled() const { return !recording_; }
  RecordIndicatorState Indicator() const { return indicator_; }
  TvnMacroClass& Model() { return model_; }

  // The record button: starts a recording that replaces the macro, or stops the
  // running one. Without the hook library nothing starts.
  void RecordButtonClick();
  // The list's selection moved to `row` (-1: none); other values are ignored.
  void SelectRow(int row);

  // Double click: when the selected row is a delay row, its delay edit starts with
  // `value` the delay to show. False otherwise.
  bool BeginDelayEdit(std::int64_t& value);
  // The edit box committed `value`: brought into 10..65535, stored in the row's
  // action and shown in the row. The macro is written back but neither checked nor
  // refilled. Ends the edit.
  void CommitDelay(std::int64_t value);
  // The edit box lost the focus: the edit ends.
  void EndDelayEdit() { editingRow_ = -1; }
  int EditingRow() const { return editingRow_; }

  // Whether a right-button release over the list opens the action menu.
  bool CanOpenActionMenu() const { return !recording_ && selectedRow_ >= 0; }
  // An item of the action menu, by ID; unknown IDs too run the check and refill.
  void ActionMenuClick(std::int64_t id);

  // OK and CANCEL: a running recording is stopped (and converted) first. They return
  // the modal result (1 and 2).
  int Ok();
  int Cancel();

  // Draws the rows recorded since the last call: run it on the posted message.
  void DrawLiveRows();

  // Asked from inside the hook procedure once rows wait to be drawn: post a message
  // whose handling calls DrawLiveRows, and do nothing else.
  std::function<void()> PostLiveRows;
  // The rows, their texts or the selection changed.
  std::function<void()> OnRowsChanged;
  // A live row was drawn at `row`: the list scrolls by one row.
  std::function<void(int row)> OnLiveRow;
  // Translates a mouse row's description (identity when unset).
  std::function<std::u16string(std::u16string_view)> Translate;

 private:
  struct PendingRow {
    std::uint32_t totalTime;
    std::int32_t key;
    std::int32_t extended;
    std::int32_t state;
  };

  TvnActionsClass* Actions() { return model_.GetCurrentMacroAction(); }
  void StartRecording(MacroRecordMode mode);
  void StopRecording();
  void Convert(const TvnMacroKeyList& entries);
  void Refill();
  void CheckAndRefill();
  void InsertLiveRow(MacroEditorRow row);
  std::u16string RowText(MacroRowKind kind, const TMACROKEY& action) const;
  void Changed();

  TvnHook& hook_;
  TvnMacroClass model_;
  std::vector<MacroEditorRow> rows_;
  int selectedRow_ = -1;
  int editingRow_ = -1;
  bool recording_ = false;
  MacroRecordMode mode_ = MacroRecordMode::Replace;
  int replacePosition_ = 0;
  int insertPosition_ = 0;
  RecordIndicatorState indicator_;
  std::array<PendingRow, kPendingCapacity> pending_{};
  std::size_t pendingCount_ = 0;
};

// The show step: the editor takes `macro`, `runModal` shows it and returns the modal
// result, and only a result of 1 (OK) copies the edited macro back into `macro`.
int ShowMacroEditor(TMACROKEYINFO& macro, MacroEditor& editor,
                    const std::function<int()>& runModal);

}  // namespace quarn
