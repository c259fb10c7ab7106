// The pop-up level: sizes from the rows and captions, rows reused across shows, the
// marked row, highlight classes, keys and the hover cascade.
#include <gtest/gtest.h>

#include <cmath>

#include "fake_menu_host.h"

namespace {

using namespace quarn::menu;
using namespace quarn::menu::testing;
using quarn::ui::MouseButton;
using quarn::ui::Placement;
using quarn::ui::testing::FakeCanvas;

float Chars(std::u16string_view s, float size) {
  float w = 0;
  for (char16_t c : s) w += FakeCanvas::CharWidth(c, size);
  return w;
}

// A width as the level sets it: whole pixels.
float CeilChars(std::u16string_view s, float size, float extra) {
  return std::ceil(Chars(s, size) + extra);
}

struct Level {
  FakeHost host;
  TvnMenuEx menu;
  Level() { menu.Host = &host; }
  TvnMenuBox& Show() {
    menu.ShowMainMenu(TargetAt(0, 0), Placement::Bottom);
    return *menu.Items().Box();
  }
};

TEST(MenuBox, Sizing) {
  const float defaultSize = LevelDefaults{}.font.size;
  const float paramSize = TMenuParams{}.ItemFont.size;
  struct Row {
    const char* why;
    std::function<void(Level&)> setup;
    float width, height;
    std::vector<float> rowHeights;  // empty: not checked
  };
  auto captions = [](Level& l, std::initializer_list<const char16_t*> c) {
    AddItems(l.menu.Items(), c);
  };
  const Row rows[] = {
      {"custom off: rows 40, level font, no margins",
       [&](Level& l) {
         captions(l, {u"Stop", u"Browser Search"});
       },
       CeilChars(u"Browser Search", defaultSize, 100),
       80,
       {40, 40}},
      {"root height 10 is raised to 20; an item's own 33 wins",
       [&](Level& l) {
         l.menu.UseCustomMenuParams = true;
         l.menu.Parameters.ItemHeight = 10;
         captions(l, {u"ab", u"cd"});
         l.menu.Items().Items(1)->ItemHeight = 33;
       },
       CeilChars(u"ab", paramSize, 100),
       53,
       {20, 33}},
      {"21 rows of 30 with margins 7/7 give 644, margins widen too",
       [&](Level& l) {
         l.menu.UseCustomMenuParams = true;
         l.menu.Parameters.BGMargins = {12, 7, 12, 7};
         for (int i = 0; i < 21; ++i) l.menu.Items().Add()->Caption = u"Stop";
         l.menu.Items().Items(20)->Caption = u"Virtual Keyboard...";
       },
       CeilChars(u"Virtual Keyboard...", paramSize, 100 + 24),
       644,
       {}},
      {"limited to a screen 600 high",
       [&](Level& l) {
         l.host.screen.height = 600;
         l.menu.UseCustomMenuParams = true;
         l.menu.Parameters.BGMargins = {0, 7, 0, 7};
         for (int i = 0; i < 21; ++i) l.menu.Items().Add()->Caption = u"Stop";
       },
       CeilChars(u"Stop", paramSize, 100),
       600,
       {}},
      {"CustomHeight 154 even on a lower screen",
       [&](Level& l) {
         l.host.screen.height = 100;
         l.menu.UseCustomMenuParams = true;
         l.menu.Parameters.CustomHeight = 154;
         captions(l, {u"Stop"});
       },
       CeilChars(u"Stop", paramSize, 100),
       154,
       {}},
      {"equal character counts: the earlier caption is measured",
       [&](Level& l) {
         captions(l, {u"ab\u4E2D", u"\u4E2D\u4E2D\u4E2D"});
       },
       CeilChars(u"ab\u4E2D", defaultSize, 100),
       80,
       {}},
      {"CustomWidth 350",
       [&](Level& l) {
         l.menu.UseCustomMenuParams = true;
         l.menu.Parameters.CustomWidth = 350;
         captions(l, {u"Stop"});
       },
       350,
       30,
       {}},
      {"captions of one character keep the width of 100, CustomWidth included",
       [&](Level& l) {
         l.menu.Parameters.CustomWidth = 350;
         captions(l, {u"A", u"", u"B"});
       },
       100,
       120,
       {}},
      {"root CustomWidth 250 fixes the width with custom off",
       [&](Level& l) {
         l.menu.Parameters.CustomWidth = 250;
         captions(l, {u"Stop"});
       },
       250,
       40,
       {}},
      {"own parameters: +5 and own margins, own row height without bound",
       [&](Level& l) {
         l.menu.UseCustomMenuParams = true;
         l.menu.Items().UseParentParameter = false;
         l.menu.Items().Parameters.ItemHeight = 15;
         l.menu.Items().Parameters.BGMargins = {1, 2, 3, 4};
         captions(l, {u"Stop", u"Go"});
       },
       CeilChars(u"Stop", paramSize, 100 + 4),
       30 + 5 + 6,
       {15, 15}},
      {"own parameters without auto size: ItemWidth",
       [&](Level& l) {
         l.menu.Items().UseParentParameter = false;
         l.menu.Items().Parameters.ItemAutoSize = false;
         l.menu.Items().Parameters.ItemWidth = 60;
         captions(l, {u"Stop"});
       },
       60,
       45,
       {40}},
      {"an empty level opens 100 x 1", [&](Level&) {}, 100, 1, {}},
      {"an item height below 1 is held at 1",
       [&](Level& l) {
         captions(l, {u"x"});
         l.menu.Items().Items(0)->ItemHeight = -8;
       },
       100,
       1,
       {1}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    Level l;
    r.setup(l);
    TvnMenuBox& box = l.Show();
    EXPECT_FLOAT_EQ(box.PopupWidth(), r.width);
    EXPECT_FLOAT_EQ(box.PopupHeight(), r.height);
    for (std::size_t i = 0; i < r.rowHeights.size(); ++i)
      EXPECT_EQ(box.ItemByIndex(int(i))->height, r.rowHeights[i]) << i;
    FakeWindow* w = l.host.WindowOf(l.menu.Items());
    EXPECT_EQ(w->width, int(std::ceil(r.width)));
    EXPECT_EQ(w->height, int(std::ceil(r.height)));
  }
}

TEST(MenuBox, AnOpenPopupKeepsItsWidth) {
  Level l;
  AddItems(l.menu.Items(), {u"Stop"});
  const float first = l.Show().PopupWidth();
  l.menu.Items().Add()->Caption = u"A much longer caption";
  l.Show();
  EXPECT_EQ(l.menu.Items().Box()->PopupWidth(), first);
  l.menu.Items().CloseSubMenus();
  EXPECT_GT(l.Show().PopupWidth(), first) << "closed, it is measured again";
}

TEST(MenuBox, RowsAreReusedAcrossShows) {
  Level l;
  l.menu.UseCustomMenuParams = true;
  AddItems(l.menu.Items(), {u"One", u"Two", u"Three"});
  l.Show();
  FakeWindow* window = l.host.WindowOf(l.menu.Items());
  l.menu.Items().CloseSubMenus();
  l.menu.Parameters.ItemHeight = 25;
  AddItems(l.menu.Items(), {u"Four", u"Five"});
  l.menu.Items().Items(0)->Caption = u"Uno";
  TvnMenuBox& box = l.Show();
  EXPECT_EQ(l.host.WindowOf(l.menu.Items()), window) << "the same pop-up window";
  ASSERT_EQ(box.Count(), 5);
  EXPECT_EQ(box.ItemByIndex(0)->height, 30) << "existing rows keep their height";
  EXPECT_EQ(box.ItemByIndex(4)->height, 25) << "new rows take the current one";
  EXPECT_EQ(box.ItemByIndex(0)->Text, u"Uno") << "texts are refreshed";
  EXPECT_EQ(box.ItemByIndex(4)->ItemID, 5u);
  EXPECT_EQ(box.PopupHeight(), 3 * 30 + 2 * 25);
  l.menu.Items().CloseSubMenus();
  l.menu.Items().Delete(4);
  l.menu.Items().Delete(0);
  l.menu.Items().Delete(0);
  l.Show();
  ASSERT_EQ(box.Count(), 2);
  EXPECT_EQ(box.ItemByIndex(0)->Text, u"Three");
  EXPECT_EQ(box.PopupHeight(), 30 + 30) << "rows are kept by position, with their heights";
}

TEST(MenuBox, CaptionsAreTranslatedAtEveryBuild) {
  quarn::LanguageContext language;
  Level l;
  l.menu.Language = &language;
  AddItems(l.menu.Items(), {u"Stop"});
  EXPECT_EQ(l.Show().ItemByIndex(0)->Text, u"Stop");
  auto table =
      std::make_shared<quarn::TranslationTable>(std::vector<std::u16string>{u"Stop=\u505C\u6B62"});
  language.Activate(table);
  l.menu.Items().CloseSubMenus();
  EXPECT_EQ(l.Show().ItemByIndex(0)->Text, u"\u505C\u6B62");
}

// The function menu's shape: ten top rows, the tenth with five sub-rows.
struct FunctionMenu : Level {
  FunctionMenu() {
    for (int i = 0; i < 10; ++i) menu.Items().Add()->Caption = u"Row";
    auto& sub = menu.Items().Items(9)->SubItems();
    for (int i = 0; i < 5; ++i) sub.Add()->Caption = u"Sub";
  }
  TvnMenuItemsEx& Sub() { return menu.Items().Items(9)->SubItems(); }
  int Marked(TvnMenuItemsEx& level) {
    TvnMenuBox* b = level.Box();
    int marked = -1;
    for (int i = 0; i < b->Count(); ++i)
      if (b->ItemByIndex(i)->IsSelected) marked = i;
    return marked;
  }
};

TEST(MenuBox, MarkedRow) {
  FunctionMenu f;
  f.menu.ShowMainMenu(1005, TargetAt(0, 0), Placement::Bottom);
  EXPECT_EQ(f.Marked(f.menu.Items()), -1) << "no top row has ID 1005";
  f.menu.Items().Box()->MouseMove(RowCentre(f.menu.Items(), 9));
  EXPECT_EQ(f.Marked(f.Sub()), 4) << "row 5 of the sub-level";
  EXPECT_EQ(f.Sub().ItemIndex, 4);

  f.menu.Items().CloseSubMenus();
  f.menu.ShowMainMenu(77, TargetAt(0, 0), Placement::Bottom);
  f.menu.Items().Box()->MouseMove(RowCentre(f.menu.Items(), 9));
  EXPECT_EQ(f.Marked(f.Sub()), -1) << "a rebuilt level without a match shows no mark";
  EXPECT_EQ(f.Sub().ItemIndex, -1);

  TvnMenuBox& top = *f.menu.Items().Box();
  top.MouseDown(MouseButton::Left, RowCentre(f.menu.Items(), 9));
  EXPECT_EQ(top.ItemIndex(), 9) << "a row with sub-items pressed becomes the index...";
  EXPECT_EQ(f.Marked(f.menu.Items()), -1) << "...but never shows the mark";
}

TEST(MenuBox, Highlights) {
  using H = RowHighlight;
  struct Row {
    const char* why;
    std::function<void(TvnMenuBox&, TvnMenuItemsEx&)> act;
    std::vector<H> expected;
  };
  const H N = H::Normal, O = H::Over, D = H::Down;
  const Row rows[] = {
      {"hover row 2",
       [](TvnMenuBox& b, TvnMenuItemsEx& l) { b.MouseMove(RowCentre(l, 2)); },
       {N, N, O, N, N}},
      {"press 2 and move to 3: over on 3, down on 2",
       [](TvnMenuBox& b, TvnMenuItemsEx& l) {
         b.MouseMove(RowCentre(l, 2));
         b.MouseDown(MouseButton::Left, RowCentre(l, 2));
         b.MouseMove(RowCentre(l, 3));
       },
       {N, N, D, O, N}},
      {"press 2, move to 3 and back: down on 2, not over",
       [](TvnMenuBox& b, TvnMenuItemsEx& l) {
         b.MouseMove(RowCentre(l, 2));
         b.MouseDown(MouseButton::Left, RowCentre(l, 2));
         b.MouseMove(RowCentre(l, 3));
         b.MouseMove(RowCentre(l, 2));
       },
       {N, N, D, N, N}},
      {"marked row 4", [](TvnMenuBox& b, TvnMenuItemsEx&) { b.SetItemIndex(4); }, {N, N, N, N, D}},
      {"pressed 1 and marked 3: the later row wins",
       [](TvnMenuBox& b, TvnMenuItemsEx& l) {
         b.MouseDown(MouseButton::Left, RowCentre(l, 1));
         std::uint16_t key = kKeyDown;
         char16_t ch = 0;
         b.KeyDown(key, ch);
         b.KeyDown(key = kKeyDown, ch);
       },
       {N, N, N, D, N}},
      {"pressed 4 and marked 3: the later row wins",
       [](TvnMenuBox& b, TvnMenuItemsEx& l) {
         b.MouseDown(MouseButton::Left, RowCentre(l, 4));
         std::uint16_t key = kKeyUp;
         char16_t ch = 0;
         b.KeyDown(key, ch);
       },
       {N, N, N, N, D}},
      {"the mouse left",
       [](TvnMenuBox& b, TvnMenuItemsEx& l) {
         b.MouseMove(RowCentre(l, 2));
         b.MouseLeave();
       },
       {N, N, N, N, N}},
      {"marked without the selected state shown",
       [](TvnMenuBox& b, TvnMenuItemsEx&) {
         b.ShowSelectedState = false;
         b.SetItemIndex(4);
       },
       {N, N, N, N, N}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    Level l;
    AddItems(l.menu.Items(), {u"a", u"b", u"c", u"d", u"e"});
    TvnMenuBox& box = l.Show();
    r.act(box, l.menu.Items());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(box.HighlightOf(i), r.expected[std::size_t(i)]) << i;
  }
}

TEST(MenuBox, Keys) {
  struct Row {
    const char* why;
    int start;
    std::uint16_t key;
    char16_t ch;
    int expected;
    bool consumed;
  } rows[] = {
      {"s finds Scroll Up", -1, 0, u's', 1, true},
      {"S in upper case too", 2, 0, u'S', 1, true},
      {"a letter without a row: consumed, nothing moves", 0, 0, u'x', 0, true},
      {"Home", 2, kKeyHome, 0, 0, true},
      {"End", 0, kKeyEnd, 0, 2, true},
      {"Up at the first row stays", 0, kKeyUp, 0, 0, true},
      {"Up", 2, kKeyUp, 0, 1, true},
      {"Down at the last row stays", 2, kKeyDown, 0, 2, true},
      {"Down from no row", -1, kKeyDown, 0, 0, true},
      {"Left", 1, kKeyLeft, 0, 0, true},
      {"Right", 1, kKeyRight, 0, 2, true},
      {"Enter is not answered", 1, 0x0D, 0, 1, false},
      {"Escape is not answered", 1, 0x1B, 0, 1, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    Level l;
    std::vector<std::string> events;
    l.menu.OnMenuClose = [&](TvnMenuItemsEx&) { events.push_back("close"); };
    l.menu.OnItemsClick = [&](auto&&...) { events.push_back("click"); };
    AddItems(l.menu.Items(), {u"Click", u"Scroll Up", u"Scroll Down"});
    TvnMenuBox& box = l.Show();
    box.SetItemIndex(r.start);
    std::uint16_t key = r.key;
    char16_t ch = r.ch;
    box.KeyDown(key, ch);
    l.host.RunPosted();
    EXPECT_EQ(box.ItemIndex(), r.expected);
    EXPECT_EQ(key == 0 && ch == 0, r.consumed);
    EXPECT_TRUE(events.empty()) << "no key closes or clicks";
    EXPECT_TRUE(l.menu.IsMenuOpen());
  }
}

TEST(MenuBox, TypedLettersFoldLatin1) {
  Level l;
  AddItems(l.menu.Items(), {u"Stop", u"\u00C9cran", u"\u00E9t\u00E9"});
  TvnMenuBox& box = l.Show();
  std::uint16_t key = 0;
  char16_t ch = u'\u00E9';
  box.KeyDown(key, ch);
  EXPECT_EQ(box.ItemIndex(), 1);
}

TEST(MenuBox, KeysOnAnEmptyLevelDoNothing) {
  Level l;
  TvnMenuBox& box = l.Show();
  std::uint16_t key = kKeyDown;
  char16_t ch = 0;
  box.KeyDown(key, ch);
  EXPECT_EQ(box.ItemIndex(), -1);
}

TEST(MenuBox, HoverCascade) {
  Level l;
  AddItems(l.menu.Items(), {u"Click", u"Media Shortcut", u"Windows Shortcut", u"Scroll"});
  AddItems(l.menu.Items().Items(1)->SubItems(), {u"Play", u"Stop"});
  AddItems(l.menu.Items().Items(2)->SubItems(), {u"Start", u"Run"});
  AddItems(l.menu.Items().Items(2)->SubItems().Items(0)->SubItems(), {u"Deep"});
  TvnMenuItemsEx& top = l.menu.Items();
  TvnMenuItemsEx& media = top.Items(1)->SubItems();
  TvnMenuItemsEx& windows = top.Items(2)->SubItems();
  TvnMenuItemsEx& deep = windows.Items(0)->SubItems();
  TvnMenuBox& box = l.Show();
  FakeWindow* topWindow = l.host.WindowOf(top);

  box.MouseMove(RowCentre(top, 1));
  ASSERT_TRUE(media.GetIsMenuOpened());
  EXPECT_EQ(l.host.WindowOf(media)->pos.x, topWindow->pos.x + topWindow->width);
  box.MouseMove(RowCentre(top, 1));
  EXPECT_TRUE(media.GetIsMenuOpened()) << "moving within the row changes nothing";

  box.MouseMove(RowCentre(top, 2));
  EXPECT_FALSE(media.GetIsMenuOpened()) << "a sibling's sub-level closes";
  EXPECT_TRUE(windows.GetIsMenuOpened());
  windows.Box()->MouseMove(RowCentre(windows, 0));
  EXPECT_TRUE(deep.GetIsMenuOpened());

  const int before = topWindow->activations;
  box.MouseMove(RowCentre(top, 3));
  EXPECT_FALSE(windows.GetIsMenuOpened());
  EXPECT_FALSE(deep.GetIsMenuOpened()) << "deeper levels close with their parent";
  EXPECT_EQ(topWindow->activations, before + 1) << "a plain row focuses its level";
  EXPECT_EQ(l.menu.Popups().Open().size(), 1u);
}

TEST(MenuBox, StaleIndexesMarkNothing) {
  Level l;
  AddItems(l.menu.Items(), {u"One", u"Two"});
  l.menu.Items().ItemIndex = 40;
  TvnMenuBox& box = l.Show();
  EXPECT_EQ(box.ItemIndex(), -1);
  box.SetItemIndex(-7);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.ItemByPoint({-1, -1}), -1);
  EXPECT_EQ(box.ItemByIndex(2), nullptr);
}

TEST(MenuBox, KeysScrollALevelCutAtTheScreen) {
  Level l;
  l.host.screen.height = 100;
  for (int i = 0; i < 10; ++i) l.menu.Items().Add()->Caption = u"Row";
  TvnMenuBox& box = l.Show();
  ASSERT_EQ(box.PopupHeight(), 100);
  std::uint16_t key = kKeyEnd;
  char16_t ch = 0;
  box.KeyDown(key, ch);
  EXPECT_EQ(box.ScrollY(), 10 * 40 - 100);
  EXPECT_EQ(box.ItemByPoint({5, 95}), 9);
  box.KeyDown(key = kKeyHome, ch);
  EXPECT_EQ(box.ScrollY(), 0);
}

}  // namespace
