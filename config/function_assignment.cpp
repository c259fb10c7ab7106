#include "function_assignment.h"

#include <algorithm>

#include "function_catalog.h"
#include "function_dialog_models.h"
#include "function_ids.h"

namespace quarn {

bool IsClickFunction(const TBUTTONFUNCINFO& entry) {
  return entry.FunctionKind == FUNCKIND_BASIC && entry.FunctionCode == 0;
}

int CountClickButtons(const TMOUSECONFIGINFO& config) {
  const int count = std::clamp<std::int32_t>(config.ButtonCount, 0, BUTTON_FUNC_COUNT);
  int clicks = 0;
  for (int i = 0; i < count; ++i)
    if (IsClickFunction(config.ButtonFuncInfo[i])) ++clicks;
  return clicks;
}

FunctionAssignment::FunctionAssignment(TDM& dm, ConfigMainController& controller,
                                       ConfigDialogs& notes, FunctionDialogs& dialogs,
                                       TranslateFn translate)
    : dm_(dm),
      controller_(controller),
      notes_(notes),
      dialogs_(dialogs),
      translate_(std::move(translate)) {}

std::u16string FunctionAssignment::Tr(std::u16string_view text) const {
  return translate_ ? translate_(text) : std::u16string(text);
}

void FunctionAssignment::Note(std::u16string_view text) {
  notes_.ShowNoteDialog(Tr(u"Warning"), Tr(text), u"", true, controller_.GetOptionsShowRect());
}

AssignResult FunctionAssignment::vnMenuExMAINItemsClick(int index, std::int64_t id) {
  const AssignResult result = AssignButtonFunction(index, id);
  controller_.MarkSettingsChanged();
  return result;
}

AssignResult FunctionAssignment::AssignButtonFunction(int index, std::int64_t id) {
  // A profile switch or reload from the monitor waits until the entry is written.
  ConfigMainController::ModalScope modal(controller_);
  return Assign(index, id);
}

AssignResult FunctionAssignment::Assign(int index, std::int64_t id) {
  if (index < 0 || index >= BUTTON_FUNC_COUNT) return AssignResult::NoButton;
  const FunctionChoice choice = ChoiceOfMenuID(id);
  if (choice == FunctionChoice::None) return AssignResult::NoFunction;
  TMOUSECONFIGINFO& config = dm_.FCurrentProfileInfo.ConfigInfo;
  // A working copy: the entry changes only when everything was confirmed.
  TBUTTONFUNCINFO entry = config.ButtonFuncInfo[index];

  if (IsClickFunction(entry) && CountClickButtons(config) <= 1) {
    Note(u"At least one \"Click\" function to be retained.");
    return AssignResult::KeptLastClick;
  }

  const ScreenRect area = controller_.GetOptionsShowRect();
  const std::int32_t menuID = static_cast<std::int32_t>(id);
  switch (choice) {
    case FunctionChoice::ComboKey: {
      TCOMBOKEYINFO combo = entry.ComboKey;
      if (dialogs_.ShowComboKeyDialog(combo, area) != 1) return AssignResult::Cancelled;
      entry.ComboKey = combo;
      entry.FunctionKind = FUNCKIND_COMBOKEY;
      entry.FunctionCode = static_cast<std::uint16_t>(MENUID_VIRTUAL_KEYBOARD);
      break;
    }
    case FunctionChoice::QuickLaunch: {
      std::u16string path = StoredProgramPath(entry.ProgramPath);
      if (dialogs_.ShowQuickLaunchDialog(path, area) != 1) return AssignResult::Cancelled;
      // A cut path would start another program: refused whole.
      if (!StoreProgramPath(entry.ProgramPath, path)) {
        Note(u"The program path is too long.");
        return AssignResult::PathTooLong;
      }
      entry.FunctionKind = FUNCKIND_QUICKLAUNCH;
      break;
    }
    case FunctionChoice::FireKey: {
      TFIREKEYINFO fire = SeedFireKey(entry.FireKeyInfo, config.FireKeySpeed, config.FireKeyCount);
      if (dialogs_.ShowFireKeyDialog(fire, area) != 1) return AssignResult::Cancelled;
      entry.FireKeyInfo = fire;
      entry.FunctionKind = FUNCKIND_FIREKEY;
      entry.FunctionCode = static_cast<std::uint16_t>(FunctionCodeOfMenuID(MENUID_FIRE_KEY));
      break;
    }
    case FunctionChoice::Macro: {
      auto macro = std::make_unique<TMACROKEYINFO>(entry.MacroKeyInfo);
      if (dialogs_.ShowMacroDialog(*macro, area) != 1) return AssignResult::Cancelled;
      entry.MacroKeyInfo = *macro;
      entry.FunctionKind = FUNCKIND_MACRO;
      break;
    }
    case FunctionChoice::Basic:
      entry.FunctionKind = FUNCKIND_BASIC;
      entry.FunctionCode = static_cast<std::uint16_t>(FunctionCodeOfMenuID(menuID));
      break;
    case FunctionChoice::None:
      return AssignResult::NoFunction;
  }
  entry.MenuID = menuID;
  config.ButtonFuncInfo[index] = entry;
  dm_.SaveBackToCurrentProfileInfo();
  if (OnButtonChanged) OnButtonChanged(index);
  if (choice == FunctionChoice::Macro && OnRefreshButtonCaptions) OnRefreshButtonCaptions();
  return AssignResult::Stored;
}

bool FunctionAssignment::AssignWheelFunction(int wheelTag, std::int64_t item) {
  if (wheelTag < 0 || wheelTag > 1) return false;
  if (item < 1 || item > static_cast<std::int64_t>(WheelMenuItems().size())) return false;
  TBUTTONFUNCINFO& entry = dm_.FCurrentProfileInfo.ConfigInfo.VWheelButtonFuncInfo[wheelTag];
  entry.FunctionKind = FUNCKIND_BASIC;
  entry.FunctionCode = static_cast<std::uint16_t>(item - 1);
  entry.MenuID = static_cast<std::int32_t>(item);
  dm_.SaveBackToCurrentProfileInfo();
  if (OnWheelButtonChanged) OnWheelButtonChanged(wheelTag);
  return true;
}

}  // namespace quarn
