#include "button_action_dispatcher.h"

#include <memory>
#include <string>

#include "emulated_input.h"
#include "function_ids.h"
#include "shortcut_tables.h"
#include "text_field.h"

namespace {

using quarn::MouseButton;

constexpr std::uint32_t PRE_ACTION_PAUSE_MS = 10;
constexpr std::uintptr_t PROFILE_COMMAND_FIRST = 21;
constexpr std::uintptr_t PROFILE_COMMAND_LAST = 25;
constexpr std::int32_t WHEEL_NOTCH = 120;

// Functions that press on the press of their button and release on its release.
bool HoldsUntilRelease(const TBUTTONFUNCINFO& entry) {
  if (entry.FunctionKind == FUNCKIND_SINGLEKEY) return true;
  return entry.FunctionKind == FUNCKIND_BASIC && entry.MenuID >= MENUID_CLICK &&
         entry.MenuID <= MENUID_BACKWARD;
}

}  // namespace

ButtonActionDispatcher::ButtonActionDispatcher(quarn::MonitorHost& host, quarn::InputSink& input,
                                               quarn::ActionWaiter& waiter)
    : FHost(host), FInput(input), FWaiter(waiter) {}

void ButtonActionDispatcher::WMButtonAction(std::uintptr_t wParam, std::intptr_t lParam) {
  if (wParam > 255 || lParam < 0 || lParam > 255) return;
  Enqueue({false, 0, static_cast<int>(wParam), static_cast<std::int32_t>(lParam)});
}

void ButtonActionDispatcher::Enqueue(const QueuedAction& action) {
  FQueue.push_back(action);
  // Outside any action, or at a step boundary of the innermost one, it runs now
  // (after those queued before it); anywhere else it waits for its turn.
  if (FDepth == 0 || FAtBoundary) RunQueued();
}

void ButtonActionDispatcher::RunQueued() {
  while (!FQueue.empty() && FDepth < MAX_NESTED_ACTIONS) {
    const QueuedAction action = FQueue.front();
    FQueue.pop_front();
    // One level deeper for the action's run, also when it ends by an exception.
    struct Level {
      int& depth;
      bool& atBoundary;
      bool outerAtBoundary;
      Level(int& d, bool& b) : depth(d), atBoundary(b), outerAtBoundary(b) {
        ++depth;
        atBoundary = false;
      }
      ~Level() {
        --depth;
        atBoundary = outerAtBoundary;
      }
    } level(FDepth, FAtBoundary);
    if (action.external)
      RunExternalCommand(action.command);
    else
      RunButtonAction(action.index, action.state);
  }
}

bool ButtonActionDispatcher::StepBoundary() {
  struct Boundary {
    bool& at;
    explicit Boundary(bool& b) : at(b) { at = true; }
    ~Boundary() { at = false; }
  } boundary(FAtBoundary);
  RunQueued();
  return FWaiter.ProcessPendingMessages();
}

void ButtonActionDispatcher::RunButtonAction(int index, std::int32_t state) {
  // Only sent messages are serviced here: a posted release never runs before
  // the press it follows.
  FWaiter.Wait(PRE_ACTION_PAUSE_MS);
  if (index >= BUTTON_ACTION_COUNT) return;

  // The action works on its own copy: a profile switch while it runs does not change it.
  const auto entry =
      std::make_unique<TBUTTONFUNCINFO>(FHost.CurrentProfile().ConfigInfo.ButtonFuncInfo[index]);

  // A release lets go of what the press held down, whatever the button does now;
  // a press that finds its button still held (a lost release) lets go first.
  if (ReleaseHold(index) && state != 1 && HoldsUntilRelease(*entry)) return;
  ActByKind(index, state, *entry);
}

void ButtonActionDispatcher::ActByKind(int index, std::int32_t state,
                                       const TBUTTONFUNCINFO& entry) {
  switch (entry.FunctionKind) {
    case FUNCKIND_BASIC:
      ActByMenuID(index, state, entry);
      break;
    case FUNCKIND_QUICKLAUNCH:
      if (state != 0) {
        const std::u16string path = quarn::ReadText(entry.ProgramPath);
        if (!path.empty()) FHost.OpenProgram(path);
      }
      break;
    case FUNCKIND_COMBOKEY:
      if (state != 1) {
        quarn::ActionRun run = NewRun();
        SendComboKey(run, entry.ComboKey, quarn::ComboTiming::Button);
      }
      break;
    case FUNCKIND_MACRO:
      if (state != 1) {
        quarn::ActionRun run = NewRun();
        PlayMacro(run, entry.MacroKeyInfo);
      }
      break;
    case FUNCKIND_FIREKEY:
      if (state != 1) {
        quarn::ActionRun run = NewRun();
        PlayFireKey(run, entry.FireKeyInfo);
      }
      break;
    case FUNCKIND_SINGLEKEY:
      SingleKey(index, state, entry);
      break;
    case FUNCKIND_HIDKEY:
      if (state != 1) {
        quarn::ActionRun run = NewRun();
        TapHidKey(run, HidUsageOf(entry.HidKey));
      }
      break;
    default:
      break;  // the event stays swallowed
  }
}

void ButtonActionDispatcher::ActByMenuID(int index, std::int32_t state,
                                         const TBUTTONFUNCINFO& entry) {
  const std::int32_t id = entry.MenuID;
  const bool press = state == 1;
  const bool notRelease = state != 0;
  switch (id) {
    case MENUID_CLICK:
      EmulateButton(index, state, MouseButton::Left);
      return;
    case MENUID_RIGHT_CLICK:
      EmulateButton(index, state, MouseButton::Right);
      return;
    case MENUID_MIDDLE_CLICK:
      EmulateButton(index, state, MouseButton::Middle);
      return;
    case MENUID_FORWARD:
      EmulateButton(index, state, MouseButton::X2);
      return;
    case MENUID_BACKWARD:
      EmulateButton(index, state, MouseButton::X1);
      return;
    case MENUID_SCROLL_UP:
      if (notRelease) FInput.SendWheel(WHEEL_NOTCH);
      return;
    case MENUID_SCROLL_DOWN:
      if (notRelease) FInput.SendWheel(-WHEEL_NOTCH);
      return;
    case MENUID_SCROLL_LEFT:
      if (press) {
        quarn::ActionRun run = NewRun();
        FHost.HorizontalScrollLeft(run);
      }
      return;
    case MENUID_SCROLL_RIGHT:
      if (press) {
        quarn::ActionRun run = NewRun();
        FHost.HorizontalScrollRight(run);
      }
      return;
    case MENUID_PROFILE_CYCLE:
      if (state == 0) FHost.SwitchToNextProfile();
      return;
    case MENUID_OPEN_DRIVER:
      if (notRelease) FHost.StartOrActivateConfig();
      return;
    case MENUID_DOUBLE_CLICK:
      if (press) {
        quarn::ActionRun run = NewRun();
        DoubleClickLeftButton(run, state);
      }
      return;
    case MENUID_SHUT_DOWN:
      if (press) FHost.ShutDownWindows();
      return;
    case MENUID_HIBERNATE:
      if (press) FHost.SuspendWindows();
      return;
    case MENUID_MY_COMPUTER:
      if (notRelease) FHost.OpenMyComputer();
      return;
    case MENUID_EMAIL:
      if (!notRelease) return;
      if (FHost.IsWin8())
        FHost.RunMailClient();
      else
        ShortcutCombo(GetBrowserKey, MENUID_EMAIL - MENUID_BROWSER_SEARCH);
      return;
    case MENUID_CALCULATOR:
      if (!notRelease) return;
      if (FHost.IsWin8())
        FHost.RunCalculator();
      else
        ShortcutCombo(GetBrowserKey, MENUID_CALCULATOR - MENUID_BROWSER_SEARCH);
      return;
    case MENUID_OPEN_WORD:
      if (notRelease) FHost.NewWordDocument();
      return;
    case MENUID_OPEN_EXCEL:
      if (notRelease) FHost.NewExcelWorkbook();
      return;
    default:
      break;
  }
  if (!notRelease) return;
  if (id >= MENUID_BROWSER_SEARCH && id <= MENUID_MY_FAVORITE)
    ShortcutCombo(GetBrowserKey, id - MENUID_BROWSER_SEARCH);
  else if (id >= MENUID_WIN_Q && id <= MENUID_WIN_C)
    ShortcutCombo(GetWin8Key, id - MENUID_WIN_Q);
  else if (id >= MENUID_MUTE && id <= MENUID_MEDIA_PLAYER)
    ShortcutCombo(GetMediaKey, id - MENUID_MUTE);
  else if (id >= MENUID_CUT && id <= MENUID_PRINT)
    ShortcutCombo(GetOfficeKey, id - MENUID_CUT);
  // Any other ID does nothing; the event stays swallowed.
}

void ButtonActionDispatcher::ShortcutCombo(void (*getRow)(int, TCOMBOKEYINFO&), int row) {
  TCOMBOKEYINFO combo{};
  getRow(row, combo);
  quarn::ActionRun run = NewRun();
  SendComboKey(run, combo, quarn::ComboTiming::Shortcut);
}

quarn::ActionRun ButtonActionDispatcher::NewRun() {
  const std::uint64_t generation = FAbortGeneration;
  return quarn::ActionRun(
      FInput, FWaiter, [this, generation] { return FAbortGeneration != generation; },
      [this] { return StepBoundary(); });
}

void ButtonActionDispatcher::EmulateButton(int index, std::int32_t state, MouseButton button) {
  const HeldInput input{false, 0, false, button};
  Send(input, state != 1);
  if (state == 1) Hold(index, input);
}

void ButtonActionDispatcher::SingleKey(int index, std::int32_t state,
                                       const TBUTTONFUNCINFO& entry) {
  if (!quarn::IsSendableKey(entry.SingleKey)) return;
  const HeldInput input{true, entry.SingleKey, quarn::IsExtendedKeyMarker(entry.SingleKeyExtended),
                        MouseButton::Left};
  Send(input, state != 1);
  if (state == 1) Hold(index, input);
}

void ButtonActionDispatcher::Hold(int index, const HeldInput& input) {
  FHeld[index] = input;
}

bool ButtonActionDispatcher::ReleaseHold(int index) {
  if (!FHeld[index]) return false;
  const HeldInput input = *FHeld[index];
  FHeld[index].reset();
  Send(input, true);
  return true;
}

void ButtonActionDispatcher::Send(const HeldInput& input, bool up) {
  if (input.isKey)
    FInput.SendKey({input.vk, FInput.ScanCodeOf(input.vk), input.extended, up});
  else
    FInput.SendButton(input.button, up);
}

void ButtonActionDispatcher::WMExternalCommand(std::uintptr_t wParam) {
  Enqueue({true, wParam, 0, 0});
}

void ButtonActionDispatcher::RunExternalCommand(std::uintptr_t wParam) {
  if (wParam < PROFILE_COMMAND_FIRST || wParam > PROFILE_COMMAND_LAST) {
    RunExternalButtonFunction(static_cast<std::intptr_t>(wParam));
    return;
  }
  const int index = static_cast<int>(wParam - PROFILE_COMMAND_FIRST);
  if (index == FHost.CurrentProfileIndex()) return;
  // The feedback setting of the profile being left decides the sound.
  if (FHost.CurrentProfile().ConfigInfo.FeedBackSetting.PROFILE_Changed == 1)
    FHost.PlayNotificationSound();
  FHost.SelectProfile(index);
}

void ButtonActionDispatcher::RunExternalButtonFunction(std::intptr_t Index) {
  FWaiter.Wait(PRE_ACTION_PAUSE_MS);
  if (Index < 0 || Index >= BUTTON_FUNC_COUNT) return;
  const TBUTTONFUNCINFO& entry = FHost.CurrentProfile().ConfigInfo.ButtonFuncInfo[Index];
  if (entry.FunctionKind == FUNCKIND_QUICKLAUNCH &&
      entry.FunctionCode == FUNCCODE_EXT_RUN_PROGRAM) {
    const std::u16string path = quarn::ReadText(entry.ProgramPath);
    if (!path.empty()) FHost.OpenExistingProgram(path);
  } else if (entry.FunctionKind == FUNCKIND_OTHER &&
             entry.FunctionCode == FUNCCODE_EXT_OPEN_CONFIG) {
    FHost.StartOrActivateConfig();
  }
}

void ButtonActionDispatcher::SetAbort() {
  ++FAbortGeneration;
  FQueue.clear();
  for (int i = 0; i < BUTTON_ACTION_COUNT; ++i) ReleaseHold(i);
}
