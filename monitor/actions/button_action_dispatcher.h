// The monitor's button-action dispatcher: performs in software the function
// that the current profile gives a re-assigned button (WM_BUTTON_ACTION), and
// the profile selections and stored program starts that outside senders ask
// for (WM_EXTERNAL_COMMAND). The main window forwards both messages here and
// calls SetAbort on Exit and when new settings are applied.
//
// Actions run one inside another only at the step boundaries of a running
// action, and at most MAX_NESTED_ACTIONS deep: a message that arrives deeper,
// or while an action waits, is queued here and runs in arrival order as soon
// as an action reaches a step boundary or ends. The stack never grows with the
// number of queued messages.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>

#include "action_waiter.h"
#include "emulated_input.h"
#include "input_sink.h"
#include "monitor_host.h"
#include "profile_records.h"

class ButtonActionDispatcher {
 public:
  // Buttons 0 to 10 of ButtonFuncInfo can carry a button action.
  static constexpr int BUTTON_ACTION_COUNT = 11;
  // Actions running one inside another at most.
  static constexpr int MAX_NESTED_ACTIONS = 4;

  ButtonActionDispatcher(quarn::MonitorHost& host, quarn::InputSink& input,
                         quarn::ActionWaiter& waiter);
  ButtonActionDispatcher(const ButtonActionDispatcher&) = delete;
  ButtonActionDispatcher& operator=(const ButtonActionDispatcher&) = delete;

  // wParam: button index; lParam: state (1 pressed, 0 released). Both must be
  // 0 to 255, or nothing happens. Returns when the action has ended; messages
  // queued meanwhile may have run nested inside it at its step boundaries.
  void WMButtonAction(std::uintptr_t wParam, std::intptr_t lParam);
  // wParam 21 to 25 selects profile wParam - 21; anything else runs the stored
  // button function of that index (RunExternalButtonFunction).
  void WMExternalCommand(std::uintptr_t wParam);
  // Entry Index (0 to 14) of ButtonFuncInfo: a program start (kind 2, code 46)
  // or opening the configuration program (kind 11, code 48).
  void RunExternalButtonFunction(std::intptr_t Index);

  // Stops every running action (each lets go of what it holds down at its next
  // pause or step), drops the queued ones and releases the buttons and keys
  // that re-assigned buttons hold down between their press and release.
  void SetAbort();

  // Actions running now, one inside another.
  int RunningActions() const { return FDepth; }
  // Messages waiting for their turn.
  std::size_t QueuedActions() const { return FQueue.size(); }

 private:
  // What a press holds down until the release of its button.
  struct HeldInput {
    bool isKey;
    std::uint16_t vk;
    bool extended;
    quarn::MouseButton button;
  };

  // A message waiting for its turn: a button action, or an external command.
  struct QueuedAction {
    bool external;
    std::uintptr_t command;  // external command
    int index;               // button action
    std::int32_t state;
  };

  void Enqueue(const QueuedAction& action);
  // Runs queued actions in order while the nesting allows.
  void RunQueued();
  // What a running action does at a step boundary: the older queued actions
  // first, then the thread's queued messages.
  bool StepBoundary();
  void RunButtonAction(int index, std::int32_t state);
  void RunExternalCommand(std::uintptr_t command);
  void ActByKind(int index, std::int32_t state, const TBUTTONFUNCINFO& entry);
  void ActByMenuID(int index, std::int32_t state, const TBUTTONFUNCINFO& entry);
  void EmulateButton(int index, std::int32_t state, quarn::MouseButton button);
  void SingleKey(int index, std::int32_t state, const TBUTTONFUNCINFO& entry);
  void Hold(int index, const HeldInput& input);
  bool ReleaseHold(int index);
  void Send(const HeldInput& input, bool up);
  void ShortcutCombo(void (*getRow)(int, TCOMBOKEYINFO&), int row);
  // A new action, aborted by any SetAbort from now on.
  quarn::ActionRun NewRun();

  quarn::MonitorHost& FHost;
  quarn::InputSink& FInput;
  quarn::ActionWaiter& FWaiter;
  // Raised by SetAbort; an action is aborted once it differs from its value
  // when the action started, so a later action never clears an earlier abort.
  std::uint64_t FAbortGeneration = 0;
  std::array<std::optional<HeldInput>, BUTTON_ACTION_COUNT> FHeld{};
  std::deque<QueuedAction> FQueue;
  int FDepth = 0;            // actions running, one inside another
  bool FAtBoundary = false;  // the innermost running action is at a step boundary
};
