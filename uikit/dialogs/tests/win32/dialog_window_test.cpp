// Frame dialogs in real windows under Wine, driven with real input (xdotool): placed in
// the caller's rectangle, in front with the focus in the first box and the pointer left
// where it was, values handed back only on OK, and the program's quit passed on.
#include "dialog_window.h"

#include <gtest/gtest.h>

#include <string>

#include "scene_window.h"
#include "window_input.h"

namespace quarn::dialogs {
namespace {

using namespace quarn::ui;
using ui::testing::MoveTo;
using ui::testing::Pump;
using ui::testing::PumpUntil;
using ui::testing::Xdotool;

struct Values {
  std::u16string first, second;
};

class TwoBoxDialog : public FrameDialog {
 public:
  TwoBoxDialog() : FrameDialog(308, 197, u"Test Dialog") {
    first = &Box(60);
    second = &Box(94);
  }
  TextBox* FirstInputBox() override { return first; }
  void Load() override {
    first->SetText(fields.first);
    second->SetText(fields.second);
  }
  void Store() override { fields = {first->Text(), second->Text()}; }
  Values fields;
  TextBox* first = nullptr;
  TextBox* second = nullptr;

 private:
  TextBox& Box(float y) {
    TextBox& b = GetScene().Root().Add<TextBox>();
    b.SetBounds(40, y, 228, 26);
    b.font = {u"Verdana", 13};
    return b;
  }
};

// The main window the dialogs belong to, made once (Wine is slow to hand activation on
// when an active window goes away).
SceneWindow& Owner() {
  static Scene* scene = [] {
    auto* s = new Scene(600, 500);
    RectShape& back = s->Root().Add<RectShape>();
    back.SetBounds(0, 0, 600, 500);
    back.fill = Fill::Solid(Rgb(0x20, 0x40, 0x20));
    return s;
  }();
  static SceneWindow* window = [] {
    SceneWindowOptions o;
    o.className = L"TQuarnDialogTestOwner";
    o.title = L"dialog test owner";
    o.position = ScreenPoint{50, 50};
    auto* w = new SceneWindow(*scene, o);
    w->Show(SW_SHOW);
    return w;
  }();
  SetForegroundWindow(window->Handle());
  PumpUntil([] { return GetForegroundWindow() == window->Handle(); }, 3000);
  return *window;
}

constexpr ScreenRect kArea{200, 150, 1000, 750};  // the dialog goes to (446, 351)
constexpr int kDialogX = 446, kDialogY = 351;
constexpr int kParkX = 100, kParkY = 100;

std::wstring At(int x, int y) {
  return std::to_wstring(x) + L" " + std::to_wstring(y);
}

HWND g_dialog = nullptr;
// A dialog still open after this long failed its test: closed so the run goes on.
void CALLBACK CloseDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_dialog) PostMessageW(g_dialog, WM_CLOSE, 0, 0);
}

// What the test saw while the dialog ran.
struct Seen {
  RECT rect{};
  bool ownerEnabled = true;
  HWND dialog = nullptr;
  HWND foregroundAtTyping = nullptr;
  POINT cursorAtTyping{-1, -1};
  std::u16string firstBox;  // its last text
};

// Runs the two-box dialog with "7" and "abc"; once it shows, xdotool types `typed`
// and then clicks the button at (`clickX`, `clickY`) of the dialog.
int RunTyping(Values& values, const std::wstring& typed, int clickX, int clickY, Seen& seen) {
  SceneWindow& owner = Owner();
  // The pointer parked away from the dialog, over the owner (X sends keys to the window
  // under the pointer when no window manager gives the focus).
  EXPECT_TRUE(MoveTo(kParkX, kParkY));
  WindowDialogRunner runner(owner.Handle());
  runner.OnShowing = [&](SceneWindow& w) {
    seen.dialog = g_dialog = w.Handle();
    SetTimer(nullptr, 0, 15000, &CloseDialog);
    GetWindowRect(w.Handle(), &seen.rect);
    Xdotool(L"sleep 1.5 type " + typed);
  };
  // The first box's change is the typing arriving: look at the state, then click.
  bool clicked = false;
  auto watch = [&](TwoBoxDialog& d) {
    d.first->OnChange = [&, &box = *d.first](Object&) {
      seen.firstBox = box.Text();
      if (clicked || box.Text() != std::u16string(typed.begin(), typed.end())) return;
      clicked = true;
      seen.foregroundAtTyping = GetForegroundWindow();
      seen.ownerEnabled = IsWindowEnabled(owner.Handle()) != FALSE;
      GetCursorPos(&seen.cursorAtTyping);
      Xdotool(L"sleep 0.3 mousemove " + At(kDialogX + clickX, kDialogY + clickY) +
              L" sleep 0.3 click 1");
    };
  };
  // The show step with a hook into the dialog it makes.
  struct Hooked : DialogRunner {
    WindowDialogRunner& inner;
    std::function<void(TwoBoxDialog&)> hook;
    Hooked(WindowDialogRunner& r, std::function<void(TwoBoxDialog&)> h) : inner(r), hook(h) {}
    int Run(FrameDialog& d, ScreenPoint at) override {
      hook(static_cast<TwoBoxDialog&>(d));
      return inner.Run(d, at);
    }
  } hooked(runner, watch);
  return ShowFrameDialog<TwoBoxDialog>(values, kArea, hooked);
}

TEST(FrameDialogWindow, TypedKeysLandInTheFirstBoxAndOkHandsThemBack) {
  Values values{u"7", u"abc"};
  Seen seen;
  // OK is at x 50..136 of the strip, y 137..177 of the dialog.
  EXPECT_EQ(RunTyping(values, L"42", 93, 157, seen), kModalOk);
  EXPECT_EQ(values.first, u"42");
  EXPECT_EQ(values.second, u"abc");
  EXPECT_EQ(seen.firstBox, u"42");
  // Centred in the rectangle given, at the dialog's size.
  EXPECT_EQ(seen.rect.left, kDialogX);
  EXPECT_EQ(seen.rect.top, kDialogY);
  EXPECT_EQ(seen.rect.right - seen.rect.left, 308);
  EXPECT_EQ(seen.rect.bottom - seen.rect.top, 197);
  // In front, owner disabled, and the pointer never moved by the focus step.
  EXPECT_EQ(seen.foregroundAtTyping, seen.dialog);
  EXPECT_FALSE(seen.ownerEnabled);
  EXPECT_EQ(seen.cursorAtTyping.x, kParkX);
  EXPECT_EQ(seen.cursorAtTyping.y, kParkY);
  EXPECT_TRUE(IsWindowEnabled(Owner().Handle()));
  EXPECT_TRUE(PumpUntil([] { return GetForegroundWindow() == Owner().Handle(); }, 3000));
}

TEST(FrameDialogWindow, CancelAfterTypingHandsBackWhatWasPassed) {
  Values values{u"7", u"abc"};
  Seen seen;
  // CANCEL is at x 160..246.
  EXPECT_EQ(RunTyping(values, L"42", 203, 157, seen), kModalCancel);
  EXPECT_EQ(values.first, u"7");
  EXPECT_EQ(values.second, u"abc");
}

void CALLBACK QuitNow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostQuitMessage(0);
}

TEST(FrameDialogWindow, QuitWhileOpenCancelsStoresNothingAndPassesTheQuitOn) {
  SceneWindow& owner = Owner();
  Values values{u"7", u"abc"};
  WindowDialogRunner runner(owner.Handle());
  runner.OnShowing = [](SceneWindow& w) {
    (void)w;
    SetTimer(nullptr, 0, 800, &QuitNow);
  };
  struct Editing : DialogRunner {
    WindowDialogRunner& inner;
    explicit Editing(WindowDialogRunner& r) : inner(r) {}
    int Run(FrameDialog& d, ScreenPoint at) override {
      static_cast<TwoBoxDialog&>(d).first->EditText(u"99");  // the user's edit
      return inner.Run(d, at);
    }
  } editing(runner);
  EXPECT_EQ((ShowFrameDialog<TwoBoxDialog>(values, kArea, editing)), kModalCancel);
  EXPECT_EQ(values.first, u"7");
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
}

}  // namespace
}  // namespace quarn::dialogs
