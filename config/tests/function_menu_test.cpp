// The function menu and the wheel menu as item trees: the ItemIDs the stored MenuIDs
// and the monitor's dispatcher rest on, the sub-menus, the captions (each one a text
// the shipped language file translates) and the sizes their looks give the levels.
#include "function_menu.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fake_menu_host.h"
#include "function_ids.h"
#include "language_file.h"
#include "translation_table.h"

namespace quarn::config {
namespace {

using menu::TvnMenuEx;
using menu::TvnMenuItemEx;
using menu::TvnMenuItemsEx;

std::string Narrow(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? char(c) : '?';
  return out;
}

// The item with this ItemID anywhere in the tree, or null.
const TvnMenuItemEx* Find(const TvnMenuItemsEx& level, std::uint32_t id) {
  for (int i = 0; i < level.Count(); ++i) {
    const TvnMenuItemEx* item = level.Items(i);
    if (item->ItemID() == id) return item;
    if (const TvnMenuItemEx* below = Find(item->SubItems(), id)) return below;
  }
  return nullptr;
}

// Every item of the tree, depth first.
void Collect(const TvnMenuItemsEx& level, std::vector<const TvnMenuItemEx*>& out) {
  for (int i = 0; i < level.Count(); ++i) {
    out.push_back(level.Items(i));
    Collect(level.Items(i)->SubItems(), out);
  }
}

TEST(FunctionMenu, TreeHas21ItemsAndFourSubMenusNumberedByPosition) {
  TvnMenuEx menu;
  // Built twice: a rebuild replaces the tree, it never appends to it.
  ASSERT_TRUE(BuildFunctionMenu(menu));
  ASSERT_TRUE(BuildFunctionMenu(menu));
  const TvnMenuItemsEx& top = menu.Items();
  ASSERT_EQ(top.Count(), 21);
  for (int i = 0; i < top.Count(); ++i) {
    const TvnMenuItemEx& item = *top.Items(i);
    SCOPED_TRACE(Narrow(item.Caption));
    EXPECT_EQ(item.ItemID(), std::uint32_t(i + 1));
    const std::string n = std::to_string(i + 1);
    EXPECT_EQ(item.Name, u"Item" + std::u16string(n.begin(), n.end()));
    int expectedSub = 0;
    switch (item.ItemID()) {
      case kWindowsShortcutMenuID:
        expectedSub = 12;
        break;
      case kWin8ShortcutMenuID:
        expectedSub = 9;
        break;
      case kMediaShortcutMenuID:
        expectedSub = 8;
        break;
      case kOfficeShortcutMenuID:
        expectedSub = 7;
        break;
    }
    const TvnMenuItemsEx& sub = item.SubItems();
    ASSERT_EQ(sub.Count(), expectedSub);
    for (int m = 0; m < sub.Count(); ++m) {
      EXPECT_EQ(sub.Items(m)->ItemID(), item.ItemID() * 100 + std::uint32_t(m + 1));
      EXPECT_FALSE(sub.Items(m)->HasSubItems()) << "no third level";
      EXPECT_FALSE(sub.Items(m)->Caption.empty());
    }
  }
  std::vector<const TvnMenuItemEx*> all;
  Collect(top, all);
  EXPECT_EQ(all.size(), 21u + 12 + 9 + 8 + 7);
}

// The IDs the monitor plays (and a stored MenuID names) reach the item that says so.
TEST(FunctionMenu, EveryFunctionIdTheMonitorPlaysNamesItsItem) {
  TvnMenuEx menu;
  ASSERT_TRUE(BuildFunctionMenu(menu));
  struct Row {
    std::int32_t id;
    const char16_t* caption;
  } rows[] = {
      {MENUID_CLICK, u"Click"},
      {MENUID_RIGHT_CLICK, u"Right Click"},
      {MENUID_MIDDLE_CLICK, u"Middle Click"},
      {MENUID_FORWARD, u"Forward"},
      {MENUID_BACKWARD, u"Backward"},
      {MENUID_SCROLL_UP, u"Scroll Up"},
      {MENUID_SCROLL_DOWN, u"Scroll Down"},
      {MENUID_SCROLL_LEFT, u"Scroll Left"},
      {MENUID_SCROLL_RIGHT, u"Scroll Right"},
      {MENUID_VIRTUAL_KEYBOARD, u"Virtual Keyboard..."},
      {MENUID_QUICK_LAUNCH, u"Quick Launch..."},
      {MENUID_PROFILE_CYCLE, u"Profile Cycle"},
      {MENUID_FIRE_KEY, u"Fire Key..."},
      {MENUID_MACRO_KEY, u"Macro Key..."},
      {MENUID_OPEN_DRIVER, u"Open Driver"},
      {MENUID_DOUBLE_CLICK, u"Double Click"},
      {MENUID_DISABLED, u"Disabled"},
      {MENUID_SHUT_DOWN, u"Shut Down"},
      {MENUID_HIBERNATE, u"Hibernate"},
      {MENUID_BROWSER_SEARCH, u"Browser Search"},
      {MENUID_HOMEPAGE, u"HomePage"},
      {MENUID_REFRESH, u"Refresh"},
      {MENUID_MY_COMPUTER, u"My Computer"},
      {MENUID_BROWSER_STOP, u"Stop"},
      {MENUID_BROWSER_BACKWARD, u"Backward"},
      {MENUID_BROWSER_FORWARD, u"Forward"},
      {MENUID_MY_FAVORITE, u"My Favorite"},
      {MENUID_EMAIL, u"EMail"},
      {MENUID_CALCULATOR, u"Calculator"},
      {MENUID_WIN_Q, u"WIN+Q Software Menu"},
      {MENUID_WIN_U, u"WIN+U Easy Setting Center"},
      {MENUID_WIN_I, u"WIN+I Setting"},
      {MENUID_WIN_R, u"WIN+R Command"},
      {MENUID_WIN_X, u"WIN+X Right Click Win Key"},
      {MENUID_WIN_F, u"WIN+F Search"},
      {MENUID_WIN_D, u"WIN+D Minimize Windows"},
      {MENUID_WIN_E, u"WIN+E My Computer"},
      {MENUID_WIN_C, u"WIN+C Charm Menu"},
      {MENUID_MUTE, u"Mute"},
      {MENUID_VOLUME_UP, u"Volume Up"},
      {MENUID_VOLUME_DOWN, u"Volume Down"},
      {MENUID_NEXT_TRACK, u"Next Track"},
      {MENUID_PREVIOUS_TRACK, u"Previous Track"},
      {MENUID_MEDIA_STOP, u"Stop"},
      {MENUID_PLAY_PAUSE, u"Play/Pause"},
      {MENUID_MEDIA_PLAYER, u"Media Player"},
      {MENUID_OPEN_WORD, u"Open Word"},
      {MENUID_OPEN_EXCEL, u"Open Excel"},
      {MENUID_CUT, u"Ctrl+X Cut"},
      {MENUID_PASTE, u"Ctrl+V Paste"},
      {MENUID_COPY, u"Ctrl+C Copy"},
      {MENUID_SELECT_ALL, u"Ctrl+A Select All"},
      {MENUID_PRINT, u"Ctrl+P Print"},
      // Sub-menu rows: they open their level and are never stored.
      {10, u"Windows Shortcut"},
      {11, u"WIN8 Shortcut"},
      {12, u"Media Shortcut"},
      {13, u"Office Shortcut"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(r.caption));
    const TvnMenuItemEx* item = Find(menu.Items(), std::uint32_t(r.id));
    ASSERT_NE(item, nullptr) << r.id;
    EXPECT_EQ(item->Caption, r.caption);
    EXPECT_EQ(item->HasSubItems(), r.id >= 10 && r.id <= 13);
    // A leaf the user can choose is one the monitor plays without parameters, or one
    // of the four that ask for them.
    const bool withParameters = r.id == MENUID_VIRTUAL_KEYBOARD || r.id == MENUID_QUICK_LAUNCH ||
                                r.id == MENUID_FIRE_KEY || r.id == MENUID_MACRO_KEY;
    if (!item->HasSubItems()) {
      EXPECT_NE(IsBasicFunctionMenuID(r.id), withParameters) << r.id;
    }
  }
  // IDs nothing stores name nothing here (the monitor's IDs of other menus among them).
  for (std::uint32_t id : {0u, 22u, 100u, 1000u, 1013u, 1110u, 1209u, 1308u, 1401u, 110101u})
    EXPECT_EQ(Find(menu.Items(), id), nullptr) << id;
}

TEST(WheelMenu, SixItemsWithTheirOwnIds) {
  TvnMenuEx menu;
  ASSERT_TRUE(BuildFunctionMenu(menu));
  ASSERT_TRUE(BuildWheelMenu(menu));  // replaces whatever the menu held
  const char16_t* captions[] = {u"Scroll Up",   u"Scroll Down", u"Volume Up",
                                u"Volume Down", u"Backward",    u"Forward"};
  ASSERT_EQ(menu.Items().Count(), 6);
  for (int i = 0; i < 6; ++i) {
    const TvnMenuItemEx& item = *menu.Items().Items(i);
    EXPECT_EQ(item.ItemID(), std::uint32_t(i + 1));
    EXPECT_EQ(item.Caption, captions[i]);
    EXPECT_FALSE(item.HasSubItems());
  }
}

// The shipped language file, read as the programs read it.
LanguageFileContent ShippedLanguages() {
  std::ifstream in(QUARN_VN_LOCAL_PATH, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  auto content = ReadLanguageFile(bytes.data(), bytes.size());
  return content.value_or(LanguageFileContent{});
}

// A caption the language file does not know shows in English in every language: each
// caption of both menus has a translation of its own in both Chinese languages.
TEST(FunctionMenu, EveryCaptionIsTranslatedByTheShippedLanguageFile) {
  const LanguageFileContent file = ShippedLanguages();
  ASSERT_GE(file.languages.size(), 3u) << QUARN_VN_LOCAL_PATH;
  for (std::size_t lang : {std::size_t(1), std::size_t(2)}) {
    const TranslationTable table(file.languages[lang].lines);
    SCOPED_TRACE(Narrow(file.languages[lang].id));
    for (auto entries : {FunctionMenuEntries(), WheelMenuEntries()})
      for (const MenuEntry& e : entries) {
        const std::u16string shown = table.Translate(e.caption);
        EXPECT_FALSE(shown.empty()) << Narrow(e.caption);
        EXPECT_NE(shown, e.caption) << Narrow(e.caption);
      }
  }
}

TEST(FunctionMenu, EntriesTableIsTheBuiltTree) {
  TvnMenuEx menu;
  ASSERT_TRUE(BuildFunctionMenu(menu));
  std::vector<const TvnMenuItemEx*> all;
  Collect(menu.Items(), all);
  EXPECT_EQ(all.size(), FunctionMenuEntries().size());
  for (const MenuEntry& e : FunctionMenuEntries()) {
    const TvnMenuItemEx* item = Find(menu.Items(), e.id);
    ASSERT_NE(item, nullptr) << e.id;
    EXPECT_EQ(item->Caption, e.caption);
  }
}

// The looks as the levels read them: heights from rows of 30 (25) and the margins,
// the WIN8 level sized as a level with parameters of its own, the wheel menu's fixed
// width, and the widest caption measured in the rows' font.
TEST(FunctionMenu, LooksSizeTheLevelsAsDesigned) {
  menu::testing::FakeHost host;
  host.screen = {1024, 768};
  TvnMenuEx functions;
  functions.Host = &host;
  ASSERT_TRUE(BuildFunctionMenu(functions));
  MenuArtwork art;
  art.down = ui::Fill::Solid(0xFF336699);
  ApplyFunctionMenuLook(functions, art);

  const menu::MenuTarget target = menu::testing::TargetAt(10, 10);
  ASSERT_TRUE(functions.ShowMainMenu(target, ui::Placement::Bottom));
  const menu::TvnMenuBox& box = *functions.Items().Box();
  EXPECT_FLOAT_EQ(box.PopupHeight(), 21 * 30 + 7 + 7);
  const float widest = host.MeasureText(u"Virtual Keyboard...", {u"Verdana", 13}).width;
  EXPECT_FLOAT_EQ(box.PopupWidth(), std::ceil(widest + 100) + 12 + 12);

  struct Row {
    std::uint32_t id;
    float height;
  } rows[] = {
      {kWindowsShortcutMenuID, 12 * 30 + 14},
      {kWin8ShortcutMenuID, 9 * 30 + 14 + 5},  // own parameters: +5
      {kMediaShortcutMenuID, 8 * 30 + 14},
      {kOfficeShortcutMenuID, 7 * 30 + 14},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    TvnMenuItemsEx& level = const_cast<TvnMenuItemEx*>(Find(functions.Items(), r.id))->SubItems();
    EXPECT_EQ(level.UseParentParameter, r.id != kWin8ShortcutMenuID);
    ASSERT_TRUE(level.ShowMenuPopup(target, ui::Placement::Right));
    EXPECT_FLOAT_EQ(level.Box()->PopupHeight(), r.height);
  }

  TvnMenuEx wheel;
  wheel.Host = &host;
  ASSERT_TRUE(BuildWheelMenu(wheel));
  ApplyWheelMenuLook(wheel, MenuArtwork{});
  ASSERT_TRUE(wheel.ShowMainMenu(target, ui::Placement::Bottom));
  EXPECT_FLOAT_EQ(wheel.Items().Box()->PopupWidth(), 300);
  EXPECT_FLOAT_EQ(wheel.Items().Box()->PopupHeight(), 6 * 25 + 2 + 2);
}

}  // namespace
}  // namespace quarn::config
