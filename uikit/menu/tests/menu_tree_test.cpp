// The item tree: names and ItemIDs, the program-wide selected ID, showing at a target
// with the screen-edge correction, the click sequence and the closing rules.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>

#include "fake_menu_host.h"
#include "vn_function_manager.h"

namespace {

using namespace quarn::menu;
using namespace quarn::menu::testing;
using quarn::ui::MouseButton;
using quarn::ui::Placement;

std::string NamesAndIds(const TvnMenuItemsEx& level) {
  std::string r;
  for (int i = 0; i < level.Count(); ++i)
    r += (r.empty() ? "" : " ") + Narrow(level.Items(i)->Name) + "/" +
         std::to_string(level.Items(i)->ItemID());
  return r;
}

TEST(MenuTree, NamesAndIdsAtInsertion) {
  struct Row {
    const char* why;
    std::function<void(TvnMenuEx&)> build;
    std::function<const TvnMenuItemsEx&(TvnMenuEx&)> level;
    const char* expected;
  };
  auto top = [](TvnMenuEx& m) -> const TvnMenuItemsEx& { return m.Items(); };
  const Row rows[] = {
      {"empty level counts from 1", [](TvnMenuEx& m) { m.Items().Add(), m.Items().Add(); }, top,
       "Item1/1 Item2/2"},
      {"the third sub-item of item 12 is 1203",
       [](TvnMenuEx& m) {
         for (int i = 0; i < 12; ++i) m.Items().Add();
         auto& sub = m.Items().Items(11)->SubItems();
         for (int i = 0; i < 3; ++i) sub.Add();
       },
       [](TvnMenuEx& m) -> const TvnMenuItemsEx& { return m.Items().Items(11)->SubItems(); },
       "Item1/1201 Item2/1202 Item3/1203"},
      {"names compare without case",
       [](TvnMenuEx& m) {
         m.Items().Add()->Name = u"item2";
         m.Items().Add();
         m.Items().Add();
       },
       top, "item2/1 Item1/1 Item3/3"},
      {"stored names come after insertion: Item1, Item4, Item5 get 1, 2, 2",
       [](TvnMenuEx& m) {
         for (const char16_t* n : {u"Item1", u"Item4", u"Item5"}) m.Items().Add()->Name = n;
       },
       top, "Item1/1 Item4/2 Item5/2"},
      {"a named insertion keeps its name and takes the free number",
       [](TvnMenuEx& m) {
         m.Items().Add();
         m.Items().Add(u"Mine");
       },
       top, "Item1/1 Mine/2"},
  };
  for (const Row& r : rows) {
    TvnMenuEx menu;
    r.build(menu);
    EXPECT_EQ(NamesAndIds(r.level(menu)), r.expected) << r.why;
  }
}

TEST(MenuTree, HundredthItemsLeaveTheDecodableRange) {
  TvnMenuEx menu;
  for (int i = 0; i < 100; ++i) menu.Items().Add();
  EXPECT_EQ(menu.Items().Items(99)->ItemID(), 100u);
  auto& sub = menu.Items().Items(0)->SubItems();
  for (int i = 0; i < 100; ++i) sub.Add();
  EXPECT_EQ(sub.Items(99)->ItemID(), 200u);
}

TEST(MenuTree, AnIdBeyond32BitsIsRefused) {
  TvnMenuEx menu;
  TvnMenuItemsEx* level = &menu.Items();
  // 1, 101, 10101, 1010101, 101010101: the next level would need 10101010101.
  for (int depth = 0; depth < 5; ++depth) {
    TvnMenuItemEx* item = level->Add();
    ASSERT_NE(item, nullptr) << depth;
    level = &item->SubItems();
  }
  EXPECT_EQ(level->Add(), nullptr);
  EXPECT_EQ(level->Count(), 0) << "nothing added";
  EXPECT_EQ(level->Add(u"Named"), nullptr);
}

TEST(MenuTree, OutOfRangeIndexesGiveNothing) {
  TvnMenuEx menu;
  menu.Items().Add();
  EXPECT_EQ(menu.Items().Items(-1), nullptr);
  EXPECT_EQ(menu.Items().Items(1), nullptr);
  EXPECT_EQ(menu.Items().Items(INT_MAX), nullptr);
  menu.Items().SetItemCheckedState(5, true);
  menu.Items().SetItemCheckedState(-1, true);
  menu.Items().Delete(7);
  menu.Items().SetItemCheckedState(0, true);
  EXPECT_TRUE(menu.Items().Items(0)->Checked);
  EXPECT_EQ(menu.Items().Items(0)->GetDisplayName(), u"Item1");
}

// A menu of the shape the configuration window uses: top rows, one with a sub-level.
struct MenuFixture {
  FakeHost host;
  std::unique_ptr<TvnMenuEx> menu = std::make_unique<TvnMenuEx>();
  std::vector<std::string> log;

  MenuFixture() {
    menu->Host = &host;
    AddItems(menu->Items(), {u"Click", u"Media Shortcut", u"Scroll Up", u"Scroll Down"});
    AddItems(menu->Items().Items(1)->SubItems(), {u"Play", u"Stop", u"Mute", u"Next Track"});
    menu->OnMenuClose = [this](TvnMenuItemsEx& level) {
      log.push_back(level.OwnerItem() ? "close sub" : "close top");
    };
    menu->OnItemsClick = [this](TvnMenuItemEx&, const std::u16string& name, std::uint32_t id,
                                const void* buffer, std::int32_t size) {
      log.push_back("click " + Narrow(name) + " " + std::to_string(id) +
                    (buffer ? " buffer" : " nil") + " " + std::to_string(size));
    };
  }
  TvnMenuItemsEx& Top() { return menu->Items(); }
  TvnMenuItemsEx& Sub() { return menu->Items().Items(1)->SubItems(); }
  void Open() { ASSERT_TRUE(menu->ShowMainMenu(TargetAt(10, 10, 40, 20), Placement::Bottom)); }
  void OpenBoth() {
    Open();
    Top().Box()->MouseMove(RowCentre(Top(), 1));
    ASSERT_TRUE(Sub().GetIsMenuOpened());
  }
  std::string Log() const {
    std::string r;
    for (const auto& l : log) r += (r.empty() ? "" : ", ") + l;
    return r;
  }
};

TEST(MenuTree, ClickSequence) {
  struct Row {
    const char* why;
    std::function<void(MenuFixture&)> act;
    const char* expected;
  };
  const Row rows[] = {
      {"left press and release on a sub-level leaf: both close, deeper first, then the click",
       [](MenuFixture& f) {
         f.Sub().Box()->MouseDown(MouseButton::Left, RowCentre(f.Sub(), 3));
         f.Sub().Box()->MouseUp(MouseButton::Left, RowCentre(f.Sub(), 3));
       },
       "close sub, close top, click Item4 204 nil 0"},
      {"press one leaf and release over another: all close, no click",
       [](MenuFixture& f) {
         f.Sub().Box()->MouseDown(MouseButton::Left, RowCentre(f.Sub(), 2));
         f.Sub().Box()->MouseUp(MouseButton::Left, RowCentre(f.Sub(), 1));
       },
       "close sub, close top"},
      {"right button release over a leaf: all close, no click",
       [](MenuFixture& f) {
         f.Sub().Box()->MouseDown(MouseButton::Right, RowCentre(f.Sub(), 2));
         f.Sub().Box()->MouseUp(MouseButton::Right, RowCentre(f.Sub(), 2));
       },
       "close sub, close top"},
      {"release over a row with sub-items does nothing",
       [](MenuFixture& f) {
         f.Top().Box()->MouseDown(MouseButton::Left, RowCentre(f.Top(), 1));
         f.Top().Box()->MouseUp(MouseButton::Left, RowCentre(f.Top(), 1));
       },
       ""},
      {"release outside every row does nothing",
       [](MenuFixture& f) {
         f.Top().Box()->MouseDown(MouseButton::Left, RowCentre(f.Top(), 0));
         f.Top().Box()->MouseUp(MouseButton::Left, {-5, -5});
       },
       ""},
      {"an item's own OnClick runs instead of OnItemsClick",
       [](MenuFixture& f) {
         f.Sub().Items(0)->OnClick = [&f](TvnMenuItemEx& s, const void*, std::int32_t) {
           f.log.push_back("own " + std::to_string(s.ItemID()));
         };
         f.Sub().Box()->MouseDown(MouseButton::Left, RowCentre(f.Sub(), 0));
         f.Sub().Box()->MouseUp(MouseButton::Left, RowCentre(f.Sub(), 0));
       },
       "close sub, close top, own 201"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    MenuFixture f;
    f.OpenBoth();
    r.act(f);
    EXPECT_EQ(f.Log(), "") << "nothing happens inside the input handler";
    f.host.RunPosted();
    EXPECT_EQ(f.Log(), r.expected);
    if (*r.expected) {
      EXPECT_EQ(f.host.ShownCount(), 0);
    }
  }
}

TEST(MenuTree, ClickKeepsOnlyTheClickedLevelsIndex) {
  MenuFixture f;
  f.OpenBoth();
  f.Sub().Box()->MouseDown(MouseButton::Left, RowCentre(f.Sub(), 2));
  f.Sub().Box()->MouseUp(MouseButton::Left, RowCentre(f.Sub(), 2));
  f.host.RunPosted();
  EXPECT_EQ(f.Sub().ItemIndex, 2);
  EXPECT_EQ(f.Top().ItemIndex, -1);
  EXPECT_FALSE(f.menu->IsMenuOpen());
}

TEST(MenuTree, FunctionManagerBuffer) {
  MenuFixture f;
  auto manager = std::make_shared<TvnFunctionManager>();
  const std::uint8_t bytes[3] = {1, 2, 3};
  manager->Items().Add().SetBuffer(bytes, 3);
  f.menu->FunctionManager = manager;
  struct Row {
    const char* why;
    int index;
    const char* expected;
  } rows[] = {
      {"item 0 hands its buffer", 0, "click Item1 1 buffer 3"},
      {"an index beyond the items: nil and 0", 5, "click Item1 1 nil 0"},
      {"a negative index: nil and 0", -1, "click Item1 1 nil 0"},
  };
  for (const Row& r : rows) {
    f.log.clear();
    f.menu->FunctionItemIndex = r.index;
    f.Top().Items(0)->DispatchClick();
    EXPECT_EQ(f.Log(), r.expected) << r.why;
  }
  manager.reset();
  f.log.clear();
  f.menu->FunctionItemIndex = 0;
  f.Top().Items(0)->DispatchClick();
  EXPECT_EQ(f.Log(), "click Item1 1 nil 0") << "a freed manager is not used";
}

TEST(MenuTree, HandlersThatDestroyTheMenuEndTheSequence) {
  {
    SCOPED_TRACE("the click handler destroys the menu");
    MenuFixture f;
    f.OpenBoth();
    f.menu->OnItemsClick = [&f](TvnMenuItemEx&, const std::u16string&, std::uint32_t, const void*,
                                std::int32_t) {
      f.menu.reset();
      f.log.push_back("destroyed");
    };
    f.Sub().Box()->MouseDown(MouseButton::Left, RowCentre(f.Sub(), 0));
    f.Sub().Box()->MouseUp(MouseButton::Left, RowCentre(f.Sub(), 0));
    f.host.RunPosted();
    EXPECT_EQ(f.Log(), "close sub, close top, destroyed");
  }
  {
    SCOPED_TRACE("the first close handler destroys the menu");
    MenuFixture f;
    f.OpenBoth();
    f.menu->OnMenuClose = [&f](TvnMenuItemsEx&) {
      f.log.push_back("close");
      f.menu.reset();
    };
    f.Sub().Box()->MouseDown(MouseButton::Left, RowCentre(f.Sub(), 0));
    f.Sub().Box()->MouseUp(MouseButton::Left, RowCentre(f.Sub(), 0));
    f.host.RunPosted();
    EXPECT_EQ(f.Log(), "close");
  }
  {
    SCOPED_TRACE("the menu is destroyed before the posted click runs");
    MenuFixture f;
    f.OpenBoth();
    f.Sub().Box()->MouseDown(MouseButton::Left, RowCentre(f.Sub(), 0));
    f.Sub().Box()->MouseUp(MouseButton::Left, RowCentre(f.Sub(), 0));
    f.menu.reset();
    f.host.RunPosted();
    EXPECT_EQ(f.Log(), "");
    EXPECT_TRUE(f.host.windows.empty()) << "the menu owns its pop-ups";
  }
  {
    SCOPED_TRACE("the clicked item's parent is deleted before the posted click runs");
    MenuFixture f;
    f.OpenBoth();
    f.Sub().Box()->MouseDown(MouseButton::Left, RowCentre(f.Sub(), 0));
    f.Sub().Box()->MouseUp(MouseButton::Left, RowCentre(f.Sub(), 0));
    f.Top().Delete(1);
    f.host.RunPosted();
    EXPECT_EQ(f.Log(), "");
  }
}

TEST(MenuTree, SelectedMenuIdIsProgramWide) {
  FakeHost host;
  TvnMenuEx first;
  first.Host = &host;
  AddItems(first.Items(), {u"One", u"Two", u"Three"});
  first.Items().Items(2)->SubItems().Add()->Caption = u"Deep";
  struct Row {
    const char* why;
    std::int64_t id;
    int marked;
  } rows[] = {
      {"-1 marks nothing", -1, -1},
      {"0 marks nothing", 0, -1},
      {"2^32 + 2 marks nothing (upper half not zero)", (std::int64_t(1) << 32) + 2, -1},
      {"2 marks Two", 2, 1},
      {"3 marks nothing: Three opens a sub-menu", 3, -1},
  };
  for (const Row& r : rows) {
    first.ShowMainMenu(r.id, TargetAt(0, 0), Placement::Bottom);
    EXPECT_EQ(first.Items().Box()->ItemIndex() >= 0 && first.Items().Box()->Selected()->IsSelected
                  ? first.Items().Box()->ItemIndex()
                  : -1,
              r.marked)
        << r.why;
    first.Items().CloseSubMenus();
  }
  TvnMenuEx second;  // its creation set the value to 0
  second.Host = &host;
  AddItems(second.Items(), {u"A", u"B"});
  first.ShowMainMenu(2, TargetAt(0, 0), Placement::Bottom);
  first.Items().CloseSubMenus();
  // Another menu shown without an ID marks the ID last given to any menu...
  second.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
  EXPECT_EQ(second.Items().Box()->ItemIndex(), 1);
  // ...and creating a menu resets it.
  TvnMenuEx third;
  EXPECT_EQ(SelectedMenuID, 0);
}

TEST(MenuTree, TargetScreenPositionTruncatesThenRounds) {
  struct Row {
    float ax, ay, ox, oy;
    int x, y;
  } rows[] = {
      {10.9f, 20.2f, 100.0f, 50.0f, 110, 70},
      {10.9f, 20.2f, 100.6f, 50.4f, 111, 70},
      {-3.7f, 0, 0, 0, -3, 0},
      {3e10f, -3e10f, 0, 0, INT_MAX, INT_MIN},
  };
  for (const Row& r : rows) {
    MenuTarget t;
    t.absolute = {r.ax, r.ay, 5, 5};
    t.clientOrigin = {r.ox, r.oy};
    auto p = TvnMenuItemsEx::GetTargetScreenPos(t);
    EXPECT_EQ(p.x, r.x) << r.ax << "+" << r.ox;
    EXPECT_EQ(p.y, r.y) << r.ay << "+" << r.oy;
  }
}

TEST(MenuTree, ScreenEdgeCorrection) {
  // The top level is 100 + "Media Shortcut" (14 x 7 at 13 px... measured in the
  // level's default 18 px font) wide; the screen is 1024 wide.
  struct Row {
    const char* why;
    float targetX, targetW;
    bool inRect;
    int expectX, expectY;
  };
  MenuFixture probe;
  probe.Open();
  const int w = int(probe.Top().Box()->PopupWidth());
  const Row rows[] = {
      {"room on the right: below the target", 100, 40, false, 100, 30},
      {"one pixel short of the edge: kept", float(1024 - 40 - w - 1), 40, false, 1024 - 40 - w - 1,
       30},
      {"ending exactly at the edge counts as beyond: left of the holding window",
       float(1024 - 40 - w), 40, false, 300 - w, 30},
      {"in a rectangle near the edge: left by the target's width, 20 down", 1000, 40.7f, true,
       500 - 40, 400 + 20},
      {"in a rectangle with room: at the rectangle", 10, 40, true, 500, 400},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    MenuFixture f;
    MenuTarget t = TargetAt(r.targetX, 10, r.targetW, 20);
    t.holderLeft = 300;
    if (r.inRect)
      f.menu->ShowMainMenu(0, t, Placement::Absolute, {500, 400, 0, 0});
    else
      f.menu->ShowMainMenu(t, Placement::Bottom);
    FakeWindow* win = f.host.WindowOf(f.Top());
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->pos.x, r.expectX);
    EXPECT_EQ(win->pos.y, r.expectY);
  }
}

TEST(MenuTree, SubLevelOpensBesideItsRowOrLeftOfItsParentAtTheEdge) {
  MenuFixture f;
  f.OpenBoth();
  FakeWindow* top = f.host.WindowOf(f.Top());
  FakeWindow* sub = f.host.WindowOf(f.Sub());
  EXPECT_EQ(sub->pos.x, top->pos.x + top->width);
  EXPECT_EQ(sub->pos.y, top->pos.y + int(f.Top().Box()->RowRect(1).y));

  MenuFixture edge;
  MenuTarget t = TargetAt(700, 10, 40, 20);
  t.holderLeft = 650;
  edge.menu->ShowMainMenu(t, Placement::Bottom);
  edge.Top().Box()->MouseMove(RowCentre(edge.Top(), 1));
  FakeWindow* etop = edge.host.WindowOf(edge.Top());
  FakeWindow* esub = edge.host.WindowOf(edge.Sub());
  ASSERT_TRUE(esub && esub->shown);
  ASSERT_EQ(etop->pos.x, 700) << "the top level itself fits";
  EXPECT_EQ(esub->pos.x + esub->width, etop->pos.x) << "its right edge at the parent's left";
}

TEST(MenuTree, ActivationClosingRules) {
  struct Row {
    const char* why;
    int lost;       // 0 top, 1 sub
    int activated;  // 0 top, 1 sub, -1 another window
    const char* expected;
  } rows[] = {
      {"another window: every level closes, latest first", 1, -1, "close sub, close top"},
      {"the top level from the sub-level: the sub-level closes", 1, 0, "close sub"},
      {"the sub-level from the top level: nothing closes", 0, 1, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    MenuFixture f;
    f.OpenBoth();
    auto id = [&](int which) -> std::uintptr_t {
      if (which < 0) return 9999;
      return f.host.WindowOf(which ? f.Sub() : f.Top())->Id();
    };
    f.menu->Deactivated(id(r.lost), id(r.activated));
    EXPECT_EQ(f.Log(), r.expected);
  }
}

TEST(MenuTree, WindowsClosedByThemselvesReportOnce) {
  MenuFixture f;
  f.OpenBoth();
  f.Sub().Box()->WindowClosed(true);
  f.Sub().Box()->WindowClosed(true);
  EXPECT_EQ(f.Log(), "close sub");
  EXPECT_FALSE(f.Sub().GetIsMenuOpened());
  // Shown again, the level gets a new window.
  f.Top().Box()->MouseMove(RowCentre(f.Top(), 0));
  f.Top().Box()->MouseMove(RowCentre(f.Top(), 1));
  EXPECT_TRUE(f.Sub().GetIsMenuOpened());
  EXPECT_EQ(f.menu->Popups().Open().size(), 2u);
}

TEST(MenuTree, NothingOpensWithoutAHost) {
  TvnMenuEx menu;
  menu.Items().Add();
  EXPECT_FALSE(menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom));
  EXPECT_FALSE(menu.IsMenuOpen());
}

}  // namespace

namespace {

// Random input over a menu whose handlers reshape the tree, close levels and post
// more work: nothing may crash or read freed memory (run under the sanitizers).
TEST(MenuTree, RandomInputWithHandlersThatReshapeTheTree) {
  std::mt19937 random(12345);
  auto next = [&random](std::uint32_t n) { return std::uint32_t(random() % n); };
  int clicks = 0, closes = 0;
  for (int round = 0; round < 200; ++round) {
    MenuFixture f;
    f.menu->OnItemsClick = [&](TvnMenuItemEx& s, const std::u16string&, std::uint32_t, const void*,
                               std::int32_t) {
      ++clicks;
      switch (next(4)) {
        case 0:
          s.GetOwner().Clear();
          break;
        case 1:
          f.Top().Delete(int(next(4)));
          break;
        case 2:
          f.Open();
          break;
        default:
          f.menu.reset();
          break;
      }
    };
    f.menu->OnMenuClose = [&](TvnMenuItemsEx& level) {
      ++closes;
      if (next(6) == 0) level.Add()->Caption = u"late";
      if (next(200) == 0) f.menu.reset();
    };
    f.Open();
    quarn::ui::PointF lastDown{};
    for (int step = 0; step < 300 && f.menu; ++step) {
      // Mostly a level that has a box, and a point over or near it.
      TvnMenuItemEx* parent = f.Top().Items(int(next(3)));
      TvnMenuItemsEx& level =
          parent && parent->SubItems().Box() && next(3) ? parent->SubItems() : f.Top();
      TvnMenuBox* box = level.Box();
      const float w = box ? box->PopupWidth() : 300, h = box ? box->PopupHeight() : 200;
      const quarn::ui::PointF p{float(next(std::uint32_t(w) + 20)) - 10,
                                float(next(std::uint32_t(h) + 20)) - 10};
      const auto button = next(3) == 0 ? MouseButton::Right : MouseButton::Left;
      switch (next(9)) {
        case 0:
          if (box) box->MouseMove(p);
          break;
        case 1:
          lastDown = p;
          if (box) box->MouseDown(button, p);
          break;
        case 2:
          if (box) box->MouseUp(button, next(2) ? lastDown : p);
          break;
        case 3:
          if (box) box->MouseLeave();
          break;
        case 4: {
          std::uint16_t key = std::uint16_t(0x21 + next(10));
          char16_t ch = next(2) ? char16_t(u'a' + next(26)) : 0;
          if (box) box->KeyDown(key, ch);
          break;
        }
        case 5:
          f.host.RunPosted();
          break;
        case 6:
          if (next(3) == 0)
            level.Delete(int(next(5)));
          else
            level.Add()->Caption = u"new";
          break;
        case 7:
          f.Open();
          break;
        default:
          if (!f.host.windows.empty())
            f.menu->Deactivated(f.host.windows[next(std::uint32_t(f.host.windows.size()))]->Id(),
                                next(2) ? 9999 : 0);
          break;
      }
    }
    if (f.menu) f.host.RunPosted();
  }
  EXPECT_GT(clicks, 20) << "the input reached the click sequence";
  EXPECT_GT(closes, 100);
}

}  // namespace
