// Scene windows, pop-up windows and the modal runner with real input (xdotool) under
// Wine: what only the window system can show.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foreground.h"
#include "modal_runner.h"
#include "popup_window.h"
#include "scene_window.h"
#include "window_input.h"
// After <windows.h> (through the toolkit's headers).
#include <commctrl.h>

namespace quarn::ui {
namespace {

using testing::MoveTo;
using testing::OtherWindow;
using testing::Pump;
using testing::PumpUntil;
using testing::Xdotool;

constexpr int kLeft = 100, kTop = 100;

std::wstring Num(int v) {
  return std::to_wstring(v);
}

// One face shared by the tests: Wine takes seconds to hand the activation on when the
// active window goes away, so windows are made once.
struct Face {
  Scene scene{500, 300};
  Button* push = nullptr;
  Button* hinted = nullptr;
  TextBox* text = nullptr;
  NumberBox* number = nullptr;
  TextBox* keys = nullptr;  // display-only: shows what the program sets, takes keys
  std::unique_ptr<SceneWindow> window;
  int clicks = 0, changes = 0, numberKills = 0, keyChanges = 0;
  std::vector<std::uint16_t> keysDown, keysUp;

  Face() {
    RectShape& back = scene.Root().Add<RectShape>();
    back.SetBounds(0, 0, 500, 300);
    back.fill = Fill::Solid(Rgb(0x30, 0x30, 0x38));
    back.hitTest = false;
    push = &AddButton(u"Push", {20, 20, 100, 40});
    push->OnClick = [this](Object&) { ++clicks; };
    hinted = &AddButton(u"Hinted", {140, 20, 100, 40});
    hinted->hint = u"A hint for the button";
    text = &scene.Root().Add<TextBox>();
    text->SetBounds(20, 100, 200, 26);
    text->font = {u"Verdana", 13};
    text->OnChange = [this](Object&) { ++changes; };
    number = &scene.Root().Add<NumberBox>();
    number->SetBounds(240, 100, 80, 26);
    number->font = {u"Verdana", 13};
    number->SetRange(1, 255);
    number->OnKillFocus = [this](Object&) { ++numberKills; };
    keys = &scene.Root().Add<TextBox>();
    keys->SetBounds(20, 150, 200, 26);
    keys->font = {u"Verdana", 13};
    keys->swallowTyping = true;
    keys->SetText(u"None");
    keys->OnChange = [this](Object&) { ++keyChanges; };
    keys->OnKeyDown = [this](Object&, std::uint16_t& key, char16_t&) { keysDown.push_back(key); };
    keys->OnKeyUp = [this](Object&, std::uint16_t& key, char16_t&) { keysUp.push_back(key); };
    SceneWindowOptions o;
    o.className = L"TQuarnUiTestFace";
    o.title = L"ui test face";
    o.position = ScreenPoint{kLeft, kTop};
    window = std::make_unique<SceneWindow>(scene, o);
    window->Show(SW_SHOW);
  }
  Button& AddButton(const char16_t* name, RectF r) {
    Button& b = scene.Root().Add<Button>();
    b.name = name;
    b.SetBounds(r);
    b.SetText(name);
    return b;
  }
  // The screen point at the middle of an object.
  static POINT Centre(const Object& o) {
    const RectF r = o.AbsoluteRect();
    return {kLeft + LONG(r.x + r.width / 2), kTop + LONG(r.y + r.height / 2)};
  }
  bool MoveOnto(const Object& o) {
    POINT p = Centre(o);
    return MoveTo(p.x, p.y);
  }
  bool ClickOn(const Object& o) { return MoveOnto(o) && Xdotool(L"click 1"); }
  void Reset() {
    clicks = changes = numberKills = keyChanges = 0;
    keysDown.clear();
    keysUp.clear();
    SetForegroundWindow(window->Handle());
    PumpUntil([&] { return GetForegroundWindow() == window->Handle(); }, 3000);
  }
};

Face& TheFace() {
  static Face* face = new Face;  // lives until the process ends
  face->Reset();
  return *face;
}

OtherWindow& TheOther() {
  static OtherWindow* other = new OtherWindow(700, 100, 300, 200);
  return *other;
}

constexpr int kOtherX = 850, kOtherY = 200;  // the middle of the other window

TEST(SceneWindowInput, HoverRepaintsOnlyTheButtonAndAClickCountsOnce) {
  Face& f = TheFace();
  ASSERT_TRUE(MoveTo(kLeft + 400, kTop + 250));  // over nothing
  Pump(300);
  const auto before = f.window->Painted();
  ASSERT_TRUE(f.MoveOnto(*f.push));
  ASSERT_TRUE(PumpUntil([&] { return f.push->IsHovered(); }, 3000));
  ASSERT_TRUE(PumpUntil([&] { return f.window->Painted().paints > before.paints; }, 3000));
  Pump(200);
  const auto after = f.window->Painted();
  const std::uint64_t area = after.pixels - before.pixels;
  EXPECT_GT(area, 0u);
  EXPECT_LE(area, 102u * 42u) << "a hover repainted more than the button";
  EXPECT_GE(after.last.left, 20 - 1);
  EXPECT_LE(after.last.right, 120 + 1);

  ASSERT_TRUE(Xdotool(L"click 1"));
  EXPECT_TRUE(PumpUntil([&] { return f.clicks == 1; }, 3000));
  Pump(300);
  EXPECT_EQ(f.clicks, 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(SceneWindowInput, PressHereReleaseThereIsNoClick) {
  Face& f = TheFace();
  OtherWindow& other = TheOther();
  (void)other;
  ASSERT_TRUE(f.MoveOnto(*f.push));
  ASSERT_TRUE(Xdotool(L"mousedown 1"));
  ASSERT_TRUE(PumpUntil([&] { return f.push->IsMouseDown(); }, 3000));
  EXPECT_EQ(GetCapture(), f.window->Handle());
  ASSERT_TRUE(MoveTo(kOtherX, kOtherY));
  ASSERT_TRUE(Xdotool(L"mouseup 1"));
  ASSERT_TRUE(PumpUntil([&] { return !f.push->IsMouseDown(); }, 3000))
      << "the release over another window did not come back";
  Pump(300);
  EXPECT_EQ(f.clicks, 0);
  EXPECT_EQ(GetCapture(), nullptr);

  // Nothing stuck: the next click counts.
  f.Reset();
  ASSERT_TRUE(f.ClickOn(*f.push));
  EXPECT_TRUE(PumpUntil([&] { return f.clicks == 1; }, 3000));
}

TEST(SceneWindowInput, TypingGoesIntoTheTextBox) {
  Face& f = TheFace();
  HWND edit = f.window->EditOf(*f.text);
  ASSERT_NE(edit, nullptr);
  SetWindowTextW(edit, L"");
  ASSERT_TRUE(f.ClickOn(*f.text));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit; }, 3000));
  EXPECT_EQ(f.scene.Focused(), f.text);
  ASSERT_TRUE(Xdotool(L"type \"Ab 1\""));
  EXPECT_TRUE(PumpUntil([&] { return f.text->Text() == u"Ab 1"; }, 5000))
      << std::string(f.text->Text().begin(), f.text->Text().end());
  EXPECT_GE(f.changes, 4);
}

TEST(SceneWindowInput, DisplayOnlyBoxSwallowsTypingButItsHandlersSeeTheKeys) {
  Face& f = TheFace();
  HWND edit = f.window->EditOf(*f.keys);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(f.ClickOn(*f.keys));
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit; }, 3000));
  ASSERT_TRUE(Xdotool(L"type xy"));
  ASSERT_TRUE(Xdotool(L"sleep 0.3 key Return"));
  ASSERT_TRUE(PumpUntil(
      [&] { return std::count(f.keysUp.begin(), f.keysUp.end(), VK_RETURN) == 1; }, 4000));
  EXPECT_EQ(std::count(f.keysDown.begin(), f.keysDown.end(), 'X'), 1);
  EXPECT_EQ(std::count(f.keysDown.begin(), f.keysDown.end(), 'Y'), 1);
  EXPECT_EQ(f.keys->Text(), u"None");
  EXPECT_EQ(f.keyChanges, 0);
  wchar_t shown[16] = {};
  GetWindowTextW(edit, shown, 16);
  EXPECT_EQ(std::wstring(shown), L"None");
  // The program's texts still show.
  f.keys->SetText(u"Ctrl+X");
  EXPECT_TRUE(PumpUntil(
      [&] {
        GetWindowTextW(edit, shown, 16);
        return std::wstring(shown) == L"Ctrl+X";
      },
      2000));
}

TEST(SceneWindowInput, NumberBoxKeepsDigitsAndClampsWhenItLosesTheFocus) {
  struct Case {
    const char* name;
    const wchar_t* keys;    // xdotool arguments, typed over the whole text
    const char16_t* shown;  // what the control holds while focused
    std::int64_t value;     // after the focus left
  } cases[] = {
      {"too large: the maximum; letters refused", L"type 999x", u"999", 255},
      {"emptied: the minimum", L"key BackSpace", u"", 1},
      {"zero: the minimum", L"type 0", u"0", 1},
      {"in range: kept", L"type 42", u"42", 42},
  };
  Face& f = TheFace();
  HWND edit = f.window->EditOf(*f.number);
  ASSERT_NE(edit, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    f.Reset();
    f.number->SetValue(7);
    f.window->GetScene().InvalidateRect(f.number->AbsoluteRect());
    ASSERT_TRUE(f.ClickOn(*f.number));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit; }, 3000));
    Pump(100);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    ASSERT_TRUE(Xdotool(c.keys));
    EXPECT_TRUE(PumpUntil([&] { return f.number->Text() == c.shown; }, 4000));
    Pump(300);
    EXPECT_EQ(f.number->Text(), c.shown);
    ASSERT_TRUE(f.ClickOn(*f.text));
    ASSERT_TRUE(PumpUntil([&] { return f.numberKills == 1; }, 3000));
    EXPECT_EQ(f.number->Value(), c.value);
    const std::string digits = std::to_string(c.value);
    EXPECT_EQ(f.number->Text(), std::u16string(digits.begin(), digits.end()));
    wchar_t shown[16] = {};
    GetWindowTextW(edit, shown, 16);
    EXPECT_EQ(std::wstring(shown), std::to_wstring(c.value)) << "the control shows the clamp";
  }
}

TEST(SceneWindowInput, TooltipShowsTheHoveredObjectsHint) {
  Face& f = TheFace();
  ASSERT_TRUE(MoveTo(kLeft + 400, kTop + 250));
  Pump(300);
  // The tooltip is made for the first hinted object hovered.
  ASSERT_TRUE(f.MoveOnto(*f.hinted));
  HWND tip = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        tip = f.window->Tooltip();
        return tip && IsWindowVisible(tip) != FALSE;
      },
      5000));
  wchar_t text[80] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = f.window->Handle();
  tool.uId = 1;
  tool.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), L"A hint for the button");
  // An object without a hint shows none.
  ASSERT_TRUE(f.MoveOnto(*f.push));
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(tip); }, 3000));
  Pump(1500);
  EXPECT_FALSE(IsWindowVisible(tip));
}

// A pop-up with a plain face.
struct TestPopup {
  Scene scene{150, 80};
  std::unique_ptr<PopupWindow> window;
  int closes = 0;
  TestPopup(PopupStack& stack, HWND owner, const wchar_t* title) {
    RectShape& back = scene.Root().Add<RectShape>();
    back.SetBounds(0, 0, 150, 80);
    back.fill = Fill::Solid(Rgb(0xE0, 0xD0, 0x80));
    window = std::make_unique<PopupWindow>(scene, stack, owner, title);
    window->OnClosePopup = [this](PopupWindow&) { ++closes; };
  }
};

TEST(PopupWindowInput, OpensBesideItsTargetAndClosesByActivation) {
  Face& f = TheFace();
  OtherWindow& other = TheOther();
  (void)other;
  PopupStack stack;
  TestPopup first(stack, f.window->Handle(), L"first popup");
  TestPopup second(stack, f.window->Handle(), L"second popup");

  PlacementRequest r;
  const RectF b = f.push->AbsoluteRect();
  r.target = {kLeft + b.x, kTop + b.y, b.width, b.height};
  r.kind = Placement::Right;
  first.window->Popup(r);
  RECT wr;
  GetWindowRect(first.window->Handle(), &wr);
  EXPECT_EQ(wr.left, kLeft + 120);
  EXPECT_EQ(wr.top, kTop + 20);
  EXPECT_EQ(wr.right - wr.left, 150);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == first.window->Handle(); }, 3000));

  // A later pop-up keeps the earlier one open; going back to the earlier closes it.
  r.target = {float(wr.left), float(wr.top), 150, 80};
  second.window->Popup(r);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == second.window->Handle(); }, 3000));
  EXPECT_TRUE(first.window->IsOpen());
  EXPECT_EQ(first.closes, 0);
  ASSERT_TRUE(MoveTo(wr.left + 20, wr.top + 40));
  ASSERT_TRUE(Xdotool(L"click 1"));
  ASSERT_TRUE(PumpUntil([&] { return second.closes == 1; }, 3000));
  EXPECT_FALSE(IsWindowVisible(second.window->Handle()));
  EXPECT_TRUE(first.window->IsOpen());
  EXPECT_TRUE(IsWindowVisible(first.window->Handle()));

  // A click on a window that is no pop-up closes every one, once.
  second.window->Popup(r);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == second.window->Handle(); }, 3000));
  ASSERT_TRUE(MoveTo(kOtherX, kOtherY));
  ASSERT_TRUE(Xdotool(L"click 1"));
  ASSERT_TRUE(PumpUntil([&] { return first.closes == 1 && second.closes == 2; }, 3000));
  Pump(300);
  EXPECT_EQ(first.closes, 1);
  EXPECT_EQ(second.closes, 2);
  EXPECT_FALSE(IsWindowVisible(first.window->Handle()));
  EXPECT_FALSE(IsWindowVisible(second.window->Handle()));
  EXPECT_TRUE(stack.Open().empty());
}

// A small modal dialog with OK (1) over the face.
struct TestDialog {
  Scene scene{200, 120};
  Button* ok = nullptr;
  std::unique_ptr<SceneWindow> window;
  explicit TestDialog(HWND owner) {
    RectShape& back = scene.Root().Add<RectShape>();
    back.SetBounds(0, 0, 200, 120);
    back.fill = Fill::Solid(Rgb(0x50, 0x60, 0x90));
    ok = &scene.Root().Add<Button>();
    ok->SetBounds(57, 70, 86, 40);
    ok->SetText(u"OK");
    ok->modalResult = kModalOk;
    SceneWindowOptions o;
    o.className = L"TQuarnUiTestDialog";
    o.title = L"ui test dialog";
    o.owner = owner;
    o.position = ScreenPoint{700, 400};
    window = std::make_unique<SceneWindow>(scene, o);
  }
};

HWND g_timerTarget = nullptr;
void CALLBACK PostQuitSeven(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostQuitMessage(7);
}
void CALLBACK PostClose(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  PostMessageW(g_timerTarget, WM_CLOSE, 0, 0);
}

TEST(RunModal, OwnerIgnoresClicksWhileItRunsAndIsActiveAgainAfter) {
  Face& f = TheFace();
  HWND owner = f.window->Handle();
  TestDialog d(owner);
  bool ownerEnabledDuring = true;
  d.ok->OnClick = [&](Object&) { ownerEnabledDuring = IsWindowEnabled(owner) != FALSE; };
  const POINT push = Face::Centre(*f.push);
  // A click on the owner's button first, then on OK at (757, 490).
  ASSERT_TRUE(Xdotool(L"sleep 0.8 mousemove " + Num(push.x) + L" " + Num(push.y) +
                      L" click 1 sleep 0.6 mousemove 757 490 sleep 0.3 click 1"));
  EXPECT_EQ(RunModal(*d.window, owner), kModalOk);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_EQ(f.clicks, 0) << "the disabled owner took a click";
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindowVisible(d.window->Handle()));
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == owner; }, 3000));
}

TEST(RunModal, QuitWhileRunningCancelsAndStaysQueued) {
  Face& f = TheFace();
  HWND owner = f.window->Handle();
  TestDialog d(owner);
  SetTimer(nullptr, 0, 300, &PostQuitSeven);
  EXPECT_EQ(RunModal(*d.window, owner), kModalCancel);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindowVisible(d.window->Handle()));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
      << "the program's quit was swallowed";
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(RunModal, CloseEndsWithCancelAndAnEarlierResultIsCleared) {
  Face& f = TheFace();
  HWND owner = f.window->Handle();
  TestDialog d(owner);
  d.scene.SetModalResult(kModalOk);  // left from an earlier run
  g_timerTarget = d.window->Handle();
  SetTimer(nullptr, 0, 300, &PostClose);
  EXPECT_EQ(RunModal(*d.window, owner), kModalCancel);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST(ForceWindowToForeground, RestoresAMinimisedBackgroundWindow) {
  Face& f = TheFace();
  OtherWindow& other = TheOther();
  // The other window in front, the face minimised behind it.
  ShowWindow(f.window->Handle(), SW_MINIMIZE);
  ASSERT_TRUE(MoveTo(kOtherX, kOtherY));
  ASSERT_TRUE(Xdotool(L"click 1"));
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other.hwnd; }, 3000));
  ASSERT_TRUE(IsIconic(f.window->Handle()));
  DWORD before = 0, after = 0;
  SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &before, 0);

  EXPECT_TRUE(ForceWindowToForeground(f.window->Handle()));
  EXPECT_FALSE(IsIconic(f.window->Handle()));
  EXPECT_EQ(GetForegroundWindow(), f.window->Handle());
  SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &after, 0);
  EXPECT_EQ(after, before) << "the system-wide setting was left changed";
  // Already in front: true at once.
  EXPECT_TRUE(ForceWindowToForeground(f.window->Handle()));
  EXPECT_FALSE(ForceWindowToForeground(nullptr));
}

}  // namespace
}  // namespace quarn::ui
