// The assignment page in a scene over the window's logic and a fake menu host:
// captions of the current profile on the buttons, the function menu opened
// above the options area for the clicked button with its spot and badge held,
// a choice stored into that button's entry and shown, a menu closed without a
// choice changing nothing, and the hover highlight.
#include "assign_page.h"

#include <gtest/gtest.h>

#include "config_fixture.h"
#include "fake_menu_host.h"
#include "function_catalog.h"

namespace quarn::pages {
namespace {

using namespace quarn::ui;
using menu::testing::FakeHost;
using menu::testing::FakeWindow;

class NoDialogs final : public FunctionDialogs {
 public:
  int ShowComboKeyDialog(TCOMBOKEYINFO&, const quarn::ScreenRect&) override { return 2; }
  int ShowQuickLaunchDialog(std::u16string&, const quarn::ScreenRect&) override { return 2; }
  int ShowFireKeyDialog(TFIREKEYINFO& f, const quarn::ScreenRect&) override {
    f = {5, 60};
    return 1;
  }
  int ShowMacroDialog(TMACROKEYINFO&, const quarn::ScreenRect&) override { return 2; }
};

// The function menu's tree from the catalog (IDs by position).
void BuildMenu(menu::TvnMenuEx& m) {
  for (const FunctionMenuNode& node : FunctionMenuItems()) {
    menu::TvnMenuItemEx* item = m.Items().Add();
    item->Caption = std::u16string(node.Caption);
    for (const FunctionMenuNode& sub : node.Sub)
      item->SubItems().Add()->Caption = std::u16string(sub.Caption);
  }
}

PointF Centre(const Object& o) {
  const RectF r = o.AbsoluteRect();
  return {r.x + r.width / 2, r.y + r.height / 2};
}

class AssignPageTest : public quarn::testing::ConfigFixture {
 protected:
  AssignPageTest() {
    buttons.SetBounds(20, 150, 260, 400);
    mouseBack.SetBounds(300, 100, 340, 450);
    badges.SetBounds(0, 0, 100, 100);
    badges.SetVisible(false);
    options.SetBounds(660, 119, 324, 471);
    Start();
    assignment = std::make_unique<FunctionAssignment>(*dm, *controller, dialogs, fd, nullptr);
    BuildMenu(menu);
    menu.Host = &host;
    page = std::make_unique<AssignPage>(
        AssignPageParts{buttons, PointF{10, 30}, mouseBack, badges, options}, *dm, *controller,
        *assignment, menu, nullptr);
    page->TargetOf = [](const Object& o) {
      return menu::MenuTarget::Of(o, PointF{100, 50}, 100, 7);
    };
    page->RefreshButtonCaptions();
  }
  void ClickOn(Object& o) {
    const PointF c = Centre(o);
    scene.MouseMove(c);
    scene.MouseDown(MouseButton::Left, c);
    scene.MouseUp(MouseButton::Left, c);
  }
  // The user picks row `row` (from 0) of the top level.
  void Choose(int row) {
    menu.RequestClick(menu.Items(), row, true);
    host.RunPosted();
  }
  bool Held(int i) const { return page->Spot(i)->IsPressed(); }

  Scene scene{1000, 700};
  Layout& buttons = scene.Root().Add<Layout>();
  Layout& mouseBack = scene.Root().Add<Layout>();
  Layout& badges = scene.Root().Add<Layout>();
  Layout& options = scene.Root().Add<Layout>();
  NoDialogs fd;
  FakeHost host;
  menu::TvnMenuEx menu;
  std::unique_ptr<FunctionAssignment> assignment;
  std::unique_ptr<AssignPage> page;
};

TEST_F(AssignPageTest, ButtonsShowTheCurrentProfile) {
  const char16_t* captions[] = {u"Click", u"Right Click", u"Middle Click", u"Forward", u"Backward"};
  for (int tag = 0; tag < 5; ++tag) {
    EXPECT_EQ(page->ButtonOf(tag)->Text(), captions[tag]);
    EXPECT_EQ(page->ButtonOf(tag)->hint, captions[tag]);
    EXPECT_TRUE(page->ButtonOf(tag)->Visible());
    EXPECT_EQ(page->ButtonOf(tag)->AbsoluteRect(), (RectF{30, 180 + 39.f * float(tag), 220, 39}));
  }
  EXPECT_FALSE(page->ButtonOf(5)->Visible());
  EXPECT_FALSE(page->ButtonOf(6)->Visible());
  EXPECT_EQ(page->ButtonOf(5)->name, u"BtnSet8");
  EXPECT_EQ(page->ButtonOf(6)->name, u"Btnset9");
  EXPECT_EQ(page->Spot(3)->AbsoluteRect(), (RectF{355, 368, 56, 52}));
  EXPECT_FALSE(page->Spot(5)->Visible());
  for (int bad : {-1, 7, 100}) EXPECT_EQ(page->ButtonOf(bad), nullptr);
  EXPECT_EQ(page->Spot(9), nullptr);
}

TEST_F(AssignPageTest, AChoiceInTheMenuIsStoredForTheClickedButton) {
  ClickOn(*page->ButtonOf(3));
  ASSERT_TRUE(menu.IsMenuOpen());
  FakeWindow* window = host.WindowOf(menu.Items());
  ASSERT_NE(window, nullptr);
  // The options area's top-left on screen, 20 pixels higher.
  EXPECT_EQ(window->pos, (ui::ScreenPoint{100 + 660, 50 + 119 - 20}));
  EXPECT_TRUE(Held(3));
  EXPECT_TRUE(page->Badge(3)->IsPressed());
  EXPECT_EQ(page->Model().FSelectedButtonIndex, 3);
  EXPECT_EQ(menu::SelectedMenuID, 4) << "the stored ID is passed as selected";

  Choose(20);  // "Disabled"
  const TBUTTONFUNCINFO& e = dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[3];
  EXPECT_EQ(e.FunctionKind, 1);
  EXPECT_EQ(e.FunctionCode, 21);
  EXPECT_EQ(e.MenuID, 21);
  EXPECT_EQ(page->ButtonOf(3)->Text(), u"Disabled");
  EXPECT_FALSE(Held(3));
  EXPECT_FALSE(page->Badge(3)->IsPressed());
  EXPECT_TRUE(controller->SettingsChanged);

  ClickOn(*page->ButtonOf(4));
  Choose(16);  // "Fire Key..."
  EXPECT_EQ(page->ButtonOf(4)->Text(), u"Fire Key:[T:5,D:60]");
  EXPECT_EQ(page->ButtonOf(4)->hint, u"Fire Key...");
}

TEST_F(AssignPageTest, AMenuClosedWithoutAChoiceChangesNothing) {
  const std::vector<std::uint8_t> before = Stream(0);
  ClickOn(*page->ButtonOf(1));
  ASSERT_TRUE(menu.IsMenuOpen());
  menu.Items().CloseSubMenus();
  EXPECT_FALSE(menu.IsMenuOpen());
  EXPECT_FALSE(Held(1));
  EXPECT_TRUE(page->Model().HoverEnabled(1));
  EXPECT_TRUE(Stream(0) == before);
  EXPECT_EQ(page->ButtonOf(1)->Text(), u"Right Click");
}

TEST_F(AssignPageTest, TheLastClickButtonShowsTheWarningAndKeepsClick) {
  ClickOn(*page->ButtonOf(0));
  Choose(1);  // "Right Click"
  EXPECT_EQ(dialogs.calls.size(), 1u);
  EXPECT_EQ(page->ButtonOf(0)->Text(), u"Click");
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[0].MenuID, 1);
}

TEST_F(AssignPageTest, AProfileSwitchWhileTheMenuIsOpenWaitsForTheChoice) {
  ClickOn(*page->ButtonOf(3));
  EXPECT_TRUE(controller->IsModal());
  controller->WMProfileSwitched(2);
  EXPECT_EQ(dm->FProfileIndex, 0);
  Choose(20);  // "Disabled"
  TBUTTONFUNCINFO e;
  std::memcpy(&e, Stream(0).data() + offsetof(TMouseProfileInfo, ConfigInfo) + 3 * sizeof e,
              sizeof e);
  EXPECT_EQ(e.MenuID, 21) << "stored into the profile the choice was made in";
  EXPECT_FALSE(controller->IsModal());
  ASSERT_EQ(window.posted.size(), 1u);
  EXPECT_EQ(window.posted[0].second, 2u);

  // A second click while open moves the menu to the other button.
  ClickOn(*page->ButtonOf(1));
  ClickOn(*page->ButtonOf(2));
  EXPECT_TRUE(menu.IsMenuOpen());
  EXPECT_FALSE(Held(1));
  EXPECT_TRUE(Held(2));
  EXPECT_EQ(page->Model().FSelectedButtonIndex, 2);
  menu.Items().CloseSubMenus();
  EXPECT_FALSE(controller->IsModal());
  EXPECT_FALSE(Held(2));
}

TEST_F(AssignPageTest, HoverHoldsTheSpotUntilThePointerLeaves) {
  scene.MouseMove(Centre(*page->ButtonOf(2)));
  EXPECT_TRUE(Held(2));
  scene.MouseMove({5, 5});
  EXPECT_FALSE(Held(2));
  // Without a host the menu cannot open: nothing stays held.
  menu.Host = nullptr;
  page->BtnSet3Click(2);
  EXPECT_FALSE(page->Model().MenuOpen());
  page->BtnSet3Click(-1);
  page->BtnSet3Click(7);
  for (int i = 0; i < kSpotCount; ++i) EXPECT_FALSE(Held(i)) << i;
}

}  // namespace
}  // namespace quarn::pages
