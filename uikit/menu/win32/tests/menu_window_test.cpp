// A menu shown through the Win32 host with real input (xdotool): each level is a real
// top-level pop-up window, hovering a sub-menu row opens its level to the right,
// clicking a leaf fires the click with its ItemID and closes every level, and clicking
// another window closes the menu without a click.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "foreground.h"
#include "menu/menu_box.h"
#include "menu/vn_menu_ex.h"
#include "win_menu_host.h"
#include "window_input.h"

namespace quarn::menu {
namespace {

using ui::testing::MoveTo;
using ui::testing::Pump;
using ui::testing::PumpUntil;
using ui::testing::Xdotool;

HWND HandleOf(const TvnMenuItemsEx& level) {
  TvnMenuBox* box = level.Box();
  return box && box->Window() ? reinterpret_cast<HWND>(box->Window()->Id()) : nullptr;
}

bool Shown(const TvnMenuItemsEx& level) {
  HWND h = HandleOf(level);
  return h && IsWindowVisible(h);
}

// The screen centre of row `row` of an open level.
POINT RowCentre(const TvnMenuBox& box, int row) {
  const ui::RectF r = box.RowRect(row);
  return {LONG(box.Position().x + r.x + r.width / 2), LONG(box.Position().y + r.y + r.height / 2)};
}

bool Click() {
  return Xdotool(L"click 1");
}

// The window in front, for failure messages: its class and whether this program owns it.
std::string Describe(HWND h) {
  if (!h) return "no window";
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  std::string out(cls, cls + wcslen(cls));
  for (char& c : out)
    if (c < 0x20 || c > 0x7E) c = '?';
  return out + (pid == GetCurrentProcessId() ? " (this program)" : " (another program)");
}

// Activating a window makes Wine give its X window the input focus, and the X server
// answers with a FocusIn event; Wine activates the window of every FocusIn it reads.
// Under load that event can be read after a menu level took the activation, which then
// goes back to the window activated before, and the menu closes. A request with a reply
// on this thread's X connection (Wine asks the X server for the pointer when its cached
// position is older than a moment) delivers every event queued before it, and pumping
// handles them: after a few rounds no stale focus event is left in flight.
void SettleFocus() {
  for (int i = 0; i < 3; ++i) {
    Sleep(150);
    POINT p;
    GetCursorPos(&p);
    Pump(50);
  }
}

// Waits, bounded, until `h` is the foreground window and stays so once the focus
// events in flight are handled.
::testing::AssertionResult BecomesForeground(HWND h) {
  if (PumpUntil([&] { return GetForegroundWindow() == h; }, 5000)) {
    SettleFocus();
    if (GetForegroundWindow() == h) return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "in front: " << Describe(GetForegroundWindow());
}

struct MenuFixture {
  ui::testing::OtherWindow other{20, 20, 600, 500};
  WinMenuHost host;
  TvnMenuEx menu;
  TvnMenuItemEx* more = nullptr;
  TvnMenuItemEx* subB = nullptr;
  struct ClickSeen {
    std::uint32_t id;
    std::u16string name;
  };
  std::vector<ClickSeen> clicks;

  MenuFixture() {
    menu.Host = &host;
    menu.Items().Add(u"One")->Caption = u"One";
    menu.Items().Add(u"Two")->Caption = u"Two";
    more = menu.Items().Add(u"More");
    more->Caption = u"More";
    more->SubItems().Add(u"SubA")->Caption = u"Sub A";
    subB = more->SubItems().Add(u"SubB");
    subB->Caption = u"Sub B";
    menu.OnItemsClick = [this](TvnMenuItemEx&, const std::u16string& name, std::uint32_t id,
                               const void*, std::int32_t) {
      clicks.push_back({id, name});
    };
    // Every case starts from the same desktop, whatever earlier programs left: the
    // pointer parked over the owner window, away from where the levels open (a level
    // appearing under it would be hovered), and the owner window in front, brought
    // there as the toolkit brings its dialogs and then clicked with real input.
    ready = MoveTo(kParkX, kParkY);
    ui::ForceWindowToForeground(other.hwnd);
    ready = ready && Click() &&
            PumpUntil(
                [&] {
                  return GetForegroundWindow() == other.hwnd &&
                         !(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
                },
                5000);
    SettleFocus();
    ready = ready && GetForegroundWindow() == other.hwnd;
  }

  static constexpr int kParkX = 60, kParkY = 460;
  bool ready = false;

  bool Show() {
    MenuTarget target;
    target.clientOrigin = {200, 150};
    target.holderLeft = 20;
    target.window = reinterpret_cast<std::uintptr_t>(other.hwnd);
    return menu.ShowMainMenu(target, ui::Placement::Bottom);
  }
};

TEST(MenuWindowInput, SubMenuOpensToTheRightAndAClickOnASubItemClosesEveryLevel) {
  MenuFixture f;
  ASSERT_TRUE(f.ready) << "owner window in front: " << Describe(GetForegroundWindow());
  ASSERT_TRUE(f.Show());
  TvnMenuItemsEx& main = f.menu.Items();
  HWND top = HandleOf(main);
  ASSERT_NE(top, nullptr);
  ASSERT_TRUE(BecomesForeground(top));

  // A real top-level, topmost, borderless window at the asked point and size.
  EXPECT_TRUE(IsWindowVisible(top));
  EXPECT_EQ(GetAncestor(top, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetWindow(top, GW_OWNER), f.other.hwnd);
  const LONG_PTR style = GetWindowLongPtrW(top, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(top, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  RECT rc;
  GetWindowRect(top, &rc);
  EXPECT_EQ(rc.left, 200);
  EXPECT_EQ(rc.top, 150);
  const TvnMenuBox& box = *main.Box();
  EXPECT_EQ(rc.right - rc.left, LONG(std::lround(box.PopupWidth())));
  EXPECT_EQ(rc.bottom - rc.top, LONG(std::lround(box.PopupHeight())));

  // Hovering the sub-menu row opens the sub-level beside it, to its right.
  const POINT moreAt = RowCentre(box, 2);
  ASSERT_TRUE(MoveTo(moreAt.x, moreAt.y));
  ASSERT_TRUE(PumpUntil([&] { return Shown(f.more->SubItems()); }, 3000));
  HWND sub = HandleOf(f.more->SubItems());
  RECT src;
  GetWindowRect(sub, &src);
  const ui::RectF moreRow = box.RowRect(2);
  EXPECT_EQ(src.left, LONG(200 + moreRow.x + moreRow.width));
  EXPECT_GE(src.left, rc.left + (rc.right - rc.left) / 2);
  EXPECT_EQ(src.top, LONG(150 + moreRow.y));
  EXPECT_TRUE(IsWindowVisible(top)) << "the main level stays open beside its sub-level";
  EXPECT_EQ(GetAncestor(sub, GA_PARENT), GetDesktopWindow());
  ASSERT_TRUE(BecomesForeground(sub));

  // Clicking the second sub-item fires its ItemID once and closes both levels.
  const TvnMenuBox& subBox = *f.more->SubItems().Box();
  const POINT subBAt = RowCentre(subBox, 1);
  ASSERT_TRUE(MoveTo(subBAt.x, subBAt.y));
  ASSERT_TRUE(PumpUntil([&] { return subBox.MoveOverRow() == 1; }, 3000));
  ASSERT_TRUE(Click());
  ASSERT_TRUE(PumpUntil([&] { return !f.clicks.empty(); }, 3000));
  Pump(300);
  ASSERT_EQ(f.clicks.size(), 1u);
  EXPECT_EQ(f.clicks[0].id, f.subB->ItemID());
  EXPECT_EQ(f.clicks[0].name, u"SubB");
  EXPECT_FALSE(f.menu.IsMenuOpen());
  EXPECT_FALSE(IsWindowVisible(top));
  EXPECT_FALSE(IsWindowVisible(sub));
}

TEST(MenuWindowInput, ClickingElsewhereClosesTheMenuWithoutAClick) {
  MenuFixture f;
  ASSERT_TRUE(f.ready) << "owner window in front: " << Describe(GetForegroundWindow());
  int closes = 0;
  f.menu.OnMenuClose = [&](TvnMenuItemsEx&) { ++closes; };
  ASSERT_TRUE(f.Show());
  HWND top = HandleOf(f.menu.Items());
  ASSERT_TRUE(BecomesForeground(top));
  // Open the sub-level too: a click outside both closes both.
  const POINT moreAt = RowCentre(*f.menu.Items().Box(), 2);
  ASSERT_TRUE(MoveTo(moreAt.x, moreAt.y));
  ASSERT_TRUE(PumpUntil([&] { return Shown(f.more->SubItems()); }, 3000));
  HWND sub = HandleOf(f.more->SubItems());

  ASSERT_TRUE(MoveTo(100, 450));
  ASSERT_TRUE(Click());
  ASSERT_TRUE(PumpUntil([&] { return !f.menu.IsMenuOpen(); }, 3000));
  Pump(300);
  EXPECT_FALSE(IsWindowVisible(top));
  EXPECT_FALSE(IsWindowVisible(sub));
  EXPECT_TRUE(f.clicks.empty());
  EXPECT_GE(closes, 1);

  // The menu opens again in the same windows after such a close (once the focus events
  // of the click that closed it are handled).
  SettleFocus();
  ASSERT_TRUE(f.Show());
  EXPECT_EQ(HandleOf(f.menu.Items()), top);
  EXPECT_TRUE(BecomesForeground(top));
}

TEST(MenuWindowInput, OwnerDestroyedWhileOpenClosesTheMenuAndANewShowMakesNewWindows) {
  MenuFixture f;
  ASSERT_TRUE(f.ready) << "owner window in front: " << Describe(GetForegroundWindow());
  int closes = 0;
  f.menu.OnMenuClose = [&](TvnMenuItemsEx&) { ++closes; };
  auto owner = std::make_unique<ui::testing::OtherWindow>(700, 20, 100, 100);
  SettleFocus();  // the new owner window was activated
  MenuTarget target;
  target.clientOrigin = {200, 150};
  target.window = reinterpret_cast<std::uintptr_t>(owner->hwnd);
  ASSERT_TRUE(f.menu.ShowMainMenu(target, ui::Placement::Bottom));
  HWND top = HandleOf(f.menu.Items());
  ASSERT_TRUE(BecomesForeground(top));
  const POINT moreAt = RowCentre(*f.menu.Items().Box(), 2);
  ASSERT_TRUE(MoveTo(moreAt.x, moreAt.y));
  ASSERT_TRUE(PumpUntil([&] { return Shown(f.more->SubItems()); }, 3000));
  HWND sub = HandleOf(f.more->SubItems());

  owner.reset();  // takes its owned pop-ups with it
  Pump(300);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(sub));
  EXPECT_FALSE(f.menu.IsMenuOpen());
  EXPECT_EQ(HandleOf(f.menu.Items()), nullptr) << "the box must forget a destroyed window";
  EXPECT_GE(closes, 1);

  ASSERT_TRUE(MoveTo(100, 450));  // off the new level: hovering would open the sub-level
  SettleFocus();
  ASSERT_TRUE(f.Show());
  HWND again = HandleOf(f.menu.Items());
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(IsWindow(again) && IsWindowVisible(again));
  EXPECT_TRUE(BecomesForeground(again));
}

TEST(MenuWindowInput, PostedTasksRunFromTheLoopInOrderAndDieWithTheHost) {
  std::vector<int> ran;
  {
    WinMenuHost host;
    host.Post([&] { ran.push_back(1); });
    host.Post([&] { ran.push_back(2); });
    EXPECT_TRUE(ran.empty()) << "nothing runs inside Post";
    ASSERT_TRUE(PumpUntil([&] { return ran.size() == 2; }, 3000));
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    host.Post([&] { ran.push_back(3); });
  }
  Pump(200);
  EXPECT_EQ(ran.size(), 2u) << "a task queued when the host went must not run";
}

}  // namespace
}  // namespace quarn::menu
