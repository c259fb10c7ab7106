// The macro editor's dialog as a scene on the dialog frame: the action list with its
// rows, the record button with its indicator, OK and CANCEL, the in-row delay box and
// the action menu, all bound to a MacroEditor. Portable: the window that shows it
// posts the live-row message, runs the indicator's animation on a timer and gives
// the action menu a host (see win32/macro_editor_window.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "dialog_frame.h"
#include "hook_platform.h"
#include "macro_editor.h"
#include "menu/vn_menu_ex.h"
#include "ui/animation.h"
#include "ui/list_box.h"
#include "ui/spin_box.h"
#include "vn_hook.h"

namespace quarn {

class MacroEditorForm : public dialogs::FrameDialog {
 public:
  static constexpr float kWidth = 311, kHeight = 424;
  static constexpr float kTitleStrip = 50, kBottomStrip = 75;
  // Where the delay box sits in a delay row, from the row's left edge.
  static constexpr float kDelayTextLeft = 150;

  // One hook component per showing, bound to the hook library through `platform`.
  explicit MacroEditorForm(HookPlatform& platform, LanguageContext& context = ProgramLanguage());
  ~MacroEditorForm() override;

  MacroEditor& Editor() { return *editor_; }
  TvnHook& Hook() { return *hook_; }
  ui::ListBox& List() { return *list_; }
  ui::Button& RecordButton() { return *record_; }
  ui::EllipseShape& RecordIndicator() { return *indicator_; }
  ui::ColorAnimation& RecordAnimation() { return animation_; }
  ui::SpinBox& DelayBox() { return *delayBox_; }
  menu::TvnMenuEx& ActionMenu() { return actionMenu_; }

  // Paints the indicator with the animation's colour at `nowMs` (the window's timer).
  void AnimationTick(std::uint64_t nowMs);
  // The clock the animation starts and stops by (the window gives the system's).
  std::function<std::uint64_t()> Clock;
  // A right-button release over the list with a row selected: open the action menu at
  // the pointer (`local` is in the list's coordinates).
  std::function<void(ui::PointF local)> OnShowActionMenu;

  void Store() override;

 private:
  void ShowRows();
  void StartDelayEdit();
  void EndDelayEdit();
  std::uint64_t Now() const { return Clock ? Clock() : 0; }

  std::unique_ptr<TvnHook> hook_;
  std::unique_ptr<MacroEditor> editor_;
  ui::ListBox* list_ = nullptr;
  ui::Button* record_ = nullptr;
  ui::EllipseShape* indicator_ = nullptr;
  ui::SpinBox* delayBox_ = nullptr;
  ui::ColorAnimation animation_;
  menu::TvnMenuEx actionMenu_;
  menu::TvnMenuEx macroMenu_;  // "Rename", "Up", "Down": built, never shown
  int newestLiveRow_ = -1;
};

// The show step of the macro editor: a new form takes `macro`, is centred in `area`
// (truncating toward zero) and run by `runner`; only OK (1) copies the edited macro
// back into `macro`. `prepare` sees the form before it runs. Returns 1 or 2.
int ShowMacroDialog(TMACROKEYINFO& macro, const ui::ScreenRect& area, HookPlatform& platform,
                    dialogs::DialogRunner& runner,
                    const std::function<void(MacroEditorForm&)>& prepare = {});

}  // namespace quarn
