#include "macro_editor_window.h"

#include <memory>

#include "modal_runner.h"
#include "win_hook_platform.h"
#include "win_menu_host.h"

namespace quarn {

namespace {

constexpr UINT_PTR kAnimationTimer = 0x4D41;
constexpr UINT kAnimationPeriodMs = 40;

}  // namespace

int MacroEditorRunner::Run(dialogs::FrameDialog& dialog, ui::ScreenPoint at) {
  auto& form = static_cast<MacroEditorForm&>(dialog);
  ui::SceneWindowOptions options;
  options.className = dialogs::kDialogClass;
  const std::u16string& title = dialog.WindowTitle();
  options.title.assign(title.begin(), title.end());
  options.owner = owner_;
  options.position = at;
  options.regionInset = int(dialogs::kFrameInset);
  ui::SceneWindow window(dialog.GetScene(), options);
  if (!window.Handle()) return ui::kModalCancel;
  HWND hwnd = window.Handle();

  MacroEditor& editor = form.Editor();
  form.Clock = [] { return static_cast<std::uint64_t>(GetTickCount64()); };
  // Inside the hook procedure: post, nothing else.
  editor.PostLiveRows = [hwnd] { PostMessageW(hwnd, kMacroLiveRowsMessage, 0, 0); };
  window.OnMessage = [&editor](UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != kMacroLiveRowsMessage) return false;
    editor.DrawLiveRows();
    result = 0;
    return true;
  };
  window.OnTimer = [&form](UINT_PTR id) {
    if (id == kAnimationTimer) form.AnimationTick(GetTickCount64());
  };
  SetTimer(hwnd, kAnimationTimer, kAnimationPeriodMs, nullptr);

  form.OnShowActionMenu = [this, &form, hwnd](ui::PointF) {
    if (!menuHost_) return;
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    RECT frame{};
    GetWindowRect(hwnd, &frame);
    menu::MenuTarget target =
        menu::MenuTarget::Of(form.List(), {float(origin.x), float(origin.y)}, frame.left,
                             reinterpret_cast<std::uintptr_t>(hwnd));
    POINT cursor{};
    GetCursorPos(&cursor);
    target.cursor = {float(cursor.x), float(cursor.y)};
    form.ActionMenu().Host = menuHost_;
    form.ActionMenu().ShowMainMenu(target, ui::Placement::Mouse);
  };

  if (OnShowing) {
    auto showing = OnShowing;
    showing(window, form);
  }
  const int result = ui::RunModal(window, owner_);
  KillTimer(hwnd, kAnimationTimer);
  // Nothing reaches the window once it is gone; a recording still running (the
  // window was closed) ends without changing what OK would have handed back.
  editor.PostLiveRows = nullptr;
  form.OnShowActionMenu = nullptr;
  if (editor.IsRecording()) editor.Cancel();
  return result;
}

bool EditMacro(HWND owner, TMACROKEYINFO& macro, const ui::ScreenRect& area,
               menu::MenuHost* menuHost) {
  // Without a host of the caller's, the action menu's pop-ups get one of their own
  // for as long as the editor is shown.
  std::unique_ptr<menu::WinMenuHost> ownHost;
  if (menuHost == nullptr) {
    ownHost = std::make_unique<menu::WinMenuHost>();
    menuHost = ownHost.get();
  }
  MacroEditorRunner runner(owner, menuHost);
  return ShowMacroDialog(macro, area, DefaultWinHookPlatform(), runner) == ui::kModalOk;
}

}  // namespace quarn
