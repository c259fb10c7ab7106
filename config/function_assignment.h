// Gives a mouse button the function chosen in the function menu: decides what
// the chosen ID stores, asks for the parameters in the function's dialog, keeps
// the last "Click" button from being reassigned, and writes the button's entry
// of the current profile (only the fields of the new function) back to the
// profile data module. Disk and monitor follow at the next apply.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "button_captions.h"
#include "config_main_controller.h"
#include "config_seams.h"
#include "dm.h"

namespace quarn {

// The dialogs of the functions that take parameters. Each works on the values
// it is given and changes them only when it returns 1 (OK).
class FunctionDialogs {
 public:
  virtual ~FunctionDialogs() = default;
  virtual int ShowComboKeyDialog(TCOMBOKEYINFO& combo, const ScreenRect& area) = 0;
  virtual int ShowQuickLaunchDialog(std::u16string& path, const ScreenRect& area) = 0;
  virtual int ShowFireKeyDialog(TFIREKEYINFO& fire, const ScreenRect& area) = 0;
  virtual int ShowMacroDialog(TMACROKEYINFO& macro, const ScreenRect& area) = 0;
};

// A button that clicks: kind 1 with function code 0.
bool IsClickFunction(const TBUTTONFUNCINFO& entry);
// The click buttons among the profile's first ButtonCount entries (a count out
// of 0..15 is held within it).
int CountClickButtons(const TMOUSECONFIGINFO& config);

enum class AssignResult {
  Stored,         // the entry holds the new function
  Cancelled,      // the function's dialog was not confirmed
  KeptLastClick,  // the warning was shown: the last click button keeps its function
  PathTooLong,    // the program path does not fit the entry: refused with a note
  NoFunction,     // the ID is a sub-menu row or no item of the menu
  NoButton,       // the button index is outside the entries
};

class FunctionAssignment {
 public:
  FunctionAssignment(TDM& dm, ConfigMainController& controller, ConfigDialogs& notes,
                     FunctionDialogs& dialogs, TranslateFn translate);

  // The function menu's click for button `index`: assigns, then the settings
  // count as changed whatever happened.
  AssignResult vnMenuExMAINItemsClick(int index, std::int64_t id);
  AssignResult AssignButtonFunction(int index, std::int64_t id);
  // The wheel menu's item (1..6) for wheel entry `wheelTag` (0 up, 1 down);
  // false, nothing changed, out of range.
  bool AssignWheelFunction(int wheelTag, std::int64_t item);

  // After an entry changed: its caption is to be shown again.
  std::function<void(int index)> OnButtonChanged;
  std::function<void(int wheelTag)> OnWheelButtonChanged;
  // After a macro was assigned: every caption is shown again.
  std::function<void()> OnRefreshButtonCaptions;

 private:
  std::u16string Tr(std::u16string_view text) const;
  void Note(std::u16string_view text);
  AssignResult Assign(int index, std::int64_t id);

  TDM& dm_;
  ConfigMainController& controller_;
  ConfigDialogs& notes_;
  FunctionDialogs& dialogs_;
  TranslateFn translate_;
};

}  // namespace quarn
