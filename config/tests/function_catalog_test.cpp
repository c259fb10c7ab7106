// The function vocabulary without windows: menu IDs to stored functions and
// back, the captions and hints the assignment page derives from stored
// entries, the page's highlight and hover state, and the dialogs' value rules.
#include "function_catalog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "assign_page_model.h"
#include "button_captions.h"
#include "function_dialog_models.h"
#include "function_ids.h"
#include "profile_defaults.h"
#include "shared_tables.h"

namespace quarn {
namespace {

std::string Narrow(const std::u16string& s) {
  return std::string(s.begin(), s.end());
}

// Every leaf of the function menu with its ID, walked from the tree.
std::vector<std::int32_t> LeafIDs() {
  std::vector<std::int32_t> ids;
  const auto top = FunctionMenuItems();
  for (std::size_t i = 0; i < top.size(); ++i) {
    const auto id = static_cast<std::int32_t>(i + 1);
    if (top[i].Sub.empty()) ids.push_back(id);
    for (std::size_t j = 0; j < top[i].Sub.size(); ++j)
      ids.push_back(id * 100 + static_cast<std::int32_t>(j + 1));
  }
  return ids;
}

TEST(FunctionCatalog, ChosenIDsStoreTheirKindAndCode) {
  struct Row {
    std::int64_t id;
    FunctionChoice choice;
    std::int32_t code;  // for a basic function
  } rows[] = {
      {1, FunctionChoice::Basic, 0},         {4, FunctionChoice::Basic, 3},
      {9, FunctionChoice::Basic, 8},         {16, FunctionChoice::Basic, 41},
      {19, FunctionChoice::Basic, 19},       {20, FunctionChoice::Basic, 20},
      {21, FunctionChoice::Basic, 21},       {1001, FunctionChoice::Basic, 1001},
      {1201, FunctionChoice::Basic, 33},     {1301, FunctionChoice::Basic, 34},
      {1302, FunctionChoice::Basic, 35},     {1303, FunctionChoice::Basic, 36},
      {1304, FunctionChoice::Basic, 1304},   {1307, FunctionChoice::Basic, 1307},
      {1109, FunctionChoice::Basic, 1109},   {14, FunctionChoice::ComboKey, 14},
      {15, FunctionChoice::QuickLaunch, 40}, {17, FunctionChoice::FireKey, 42},
      {18, FunctionChoice::Macro, 43},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ChoiceOfMenuID(r.id), r.choice) << r.id;
    EXPECT_EQ(FunctionCodeOfMenuID(static_cast<std::int32_t>(r.id)), r.code) << r.id;
  }
}

TEST(FunctionCatalog, SubMenuRowsAndIDsOutsideTheMenuStoreNothing) {
  const std::int64_t ids[] = {0,
                              -1,
                              10,
                              11,
                              12,
                              13,
                              22,
                              99,
                              1000,
                              1013,
                              1110,
                              1209,
                              1308,
                              1401,
                              110101,
                              2101,
                              1000000,
                              -1001,
                              100000,
                              1400,
                              std::numeric_limits<std::int64_t>::max(),
                              std::numeric_limits<std::int64_t>::min()};
  for (std::int64_t id : ids) EXPECT_EQ(ChoiceOfMenuID(id), FunctionChoice::None) << id;
}

TEST(FunctionCatalog, EveryLeafIsAFunctionMatchingTheMonitorsVocabulary) {
  const auto ids = LeafIDs();
  EXPECT_EQ(ids.size(), 17u + 12 + 9 + 8 + 7);
  for (std::int32_t id : ids) {
    const FunctionChoice c = ChoiceOfMenuID(id);
    ASSERT_NE(c, FunctionChoice::None) << id;
    // What the monitor plays as a plain function is exactly the basic leaves.
    EXPECT_EQ(c == FunctionChoice::Basic, IsBasicFunctionMenuID(id)) << id;
    const std::int32_t code = FunctionCodeOfMenuID(id);
    EXPECT_GE(code, 0) << id;
    EXPECT_LE(code, 0xFFFF) << id;
    // An item with a row in the code table stores that row's code, which leads
    // back to the item; the others store their ID.
    bool hasRow = false;
    for (const TFunctionCodeEntry& row : FunctionCodeTable) hasRow = hasRow || row.MenuID == id;
    if (hasRow) {
      EXPECT_EQ(DefaultMenuIDOfFunctionCode(code), id) << id;
    } else {
      EXPECT_EQ(code, id);
    }
  }
}

TEST(FunctionCatalog, DefaultMenuIDsOfCodes) {
  struct Row {
    std::int32_t code, id;
  } rows[] = {{0, 1},
              {3, 4},
              {4, 5},
              {11, 110101},
              {33, 1201},
              {41, 16},
              {43, 18},
              {44, -1},
              {-1, -1},
              {1304, -1},
              {std::numeric_limits<std::int32_t>::max(), -1}};
  for (const Row& r : rows) EXPECT_EQ(DefaultMenuIDOfFunctionCode(r.code), r.id) << r.code;
}

TranslateFn Fake() {
  return [](std::u16string_view t) { return u"[" + std::u16string(t) + u"]"; };
}

TEST(ButtonCaptions, MenuCaptionsByID) {
  struct Row {
    std::int64_t id;
    const char16_t* caption;
  } rows[] = {
      {1, u"Click"},
      {21, u"Disabled"},
      {1204, u"Next Track"},
      {1001, u"Shut Down"},
      {1109, u"WIN+C Charm Menu"},
      {1307, u"Ctrl+P Print"},
      {10, u"Windows Shortcut"},
      {110101, u""},
      {1401, u""},
      {1000, u""},
      {1013, u""},
      {22, u""},
      {0, u""},
      {-5, u""},
      {1000000, u""},
      {999999, u""},
      {std::numeric_limits<std::int64_t>::max(), u""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(GetMenuCaptionByID(r.id, nullptr), r.caption) << r.id;
    const std::u16string translated = *r.caption ? u"[" + std::u16string(r.caption) + u"]" : u"";
    EXPECT_EQ(GetMenuCaptionByID(r.id, Fake()), translated) << r.id;
  }
  EXPECT_EQ(GetWheelMenuCaptionByID(3, nullptr), u"Volume Up");
  EXPECT_EQ(GetWheelMenuCaptionByID(7, nullptr), u"");
  EXPECT_EQ(GetWheelMenuCaptionByID(0, nullptr), u"");
}

// An entry as the assignment stores it.
TBUTTONFUNCINFO Entry(std::int32_t menuID, std::uint16_t code = 0, std::uint8_t kind = 1) {
  TBUTTONFUNCINFO e;
  std::memset(&e, 0, sizeof e);
  e.MenuID = menuID;
  e.FunctionCode = code;
  e.FunctionKind = kind;
  return e;
}
TBUTTONFUNCINFO Combo(std::uint16_t mods, std::uint16_t k1, std::uint16_t k2,
                      std::uint16_t ext1 = 0) {
  TBUTTONFUNCINFO e = Entry(14, 14, 3);
  e.ComboKey = {k1, ext1, k2, 0, mods};
  return e;
}
TBUTTONFUNCINFO Fire(std::uint16_t count, std::uint16_t delay) {
  TBUTTONFUNCINFO e = Entry(17, 42, 5);
  e.FireKeyInfo = {count, delay};
  return e;
}

TEST(ButtonCaptions, CaptionsAndHintsOfStoredFunctions) {
  struct Row {
    const char* why;
    TBUTTONFUNCINFO entry;
    const char16_t* caption;
    const char16_t* hint;
  } rows[] = {
      {"media item", Entry(1204, 33), u"Next Track", u"Next Track"},
      {"click", Entry(1), u"Click", u"Click"},
      {"menu ID 0 falls back to the code's item", Entry(0, 3), u"Forward", u"Forward"},
      {"menu ID 0, code without a row", Entry(0, 1304), u"", u""},
      {"three-level ID reaches nothing", Entry(110101, 11), u"", u""},
      {"sub position beyond its level", Entry(1401, 37), u"", u""},
      {"negative ID", Entry(-7), u"", u""},
      {"too large ID", Entry(1000000), u"", u""},
      {"ctrl and one key", Combo(MODIFIER_CTRL, 'A', 0), u"<Ctrl+A>",
       u"Virtual Keyboard: <Ctrl+A>"},
      {"two modifiers and two keys", Combo(MODIFIER_CTRL | MODIFIER_SHIFT, 'A', 'B'),
       u"<Ctrl+Shift+A+B>", u"Virtual Keyboard: <Ctrl+Shift+A+B>"},
      {"modifier order is fixed", Combo(MODIFIER_WIN | MODIFIER_ALT | MODIFIER_SHIFT, 'K', 0),
       u"<Alt+Shift+WIN+K>", u"Virtual Keyboard: <Alt+Shift+WIN+K>"},
      {"second key only", Combo(0, 0, 'B'), u"<B>", u"Virtual Keyboard: <B>"},
      {"no key: the menu's caption", Combo(MODIFIER_CTRL, 0, 0), u"Virtual Keyboard...",
       u"Virtual Keyboard: "},
      {"key code beyond the table", Combo(0, 300, 0), u"Virtual Keyboard...",
       u"Virtual Keyboard: "},
      {"fire key", Fire(5, 60), u"Fire Key:[T:5,D:60]", u"Fire Key..."},
      {"fire key out of range shows the stored values", Fire(65535, 0), u"Fire Key:[T:65535,D:0]",
       u"Fire Key..."},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ButtonCaption(r.entry, nullptr), r.caption) << r.why;
    EXPECT_EQ(ButtonHint(r.entry, nullptr), r.hint) << r.why;
  }
}

TEST(ButtonCaptions, TranslatedTextsKeepTheValues) {
  EXPECT_EQ(ButtonCaption(Fire(3, 60), Fake()), u"[Fire Key:][T:3,D:60]");
  EXPECT_EQ(ButtonHint(Fire(3, 60), Fake()), u"[Fire Key...]");
  EXPECT_EQ(ButtonCaption(Combo(MODIFIER_CTRL, 'C', 0), Fake()), u"<Ctrl+C>");
  EXPECT_EQ(ButtonHint(Combo(MODIFIER_CTRL, 'C', 0), Fake()), u"[Virtual Keyboard:] <Ctrl+C>");
  EXPECT_EQ(ButtonCaption(Entry(0, 4), Fake()), u"[Backward]");
}

TEST(ButtonCaptions, KeyCombinationDialogText) {
  struct Row {
    TBUTTONFUNCINFO entry;
    const char16_t* text;
  } rows[] = {
      {Combo(MODIFIER_CTRL | MODIFIER_SHIFT, 'K', 0), u"Ctrl+Shift+K"},
      {Combo(MODIFIER_CTRL, 'A', 'B'), u"Ctrl+A+B"},
      {Combo(MODIFIER_CTRL, 0, 'B'), u"+B"},
      {Combo(MODIFIER_CTRL, 0, 0), u""},
  };
  for (const Row& r : rows) EXPECT_EQ(ComboKeyDialogText(r.entry.ComboKey), r.text);
}

std::unique_ptr<TMOUSECONFIGINFO> DefaultConfig() {
  auto p = std::make_unique<TMouseProfileInfo>();
  std::memset(p.get(), 0, sizeof *p);
  RestoreProfileDefaults(*p);
  auto c = std::make_unique<TMOUSECONFIGINFO>(p->ConfigInfo);
  return c;
}

TEST(AssignPage, DefaultProfileCaptions) {
  auto c = DefaultConfig();
  AssignPageModel page;
  page.RefreshButtonCaptions(*c, nullptr);
  const char16_t* expected[] = {
      u"Click", u"Right Click", u"Middle Click", u"Forward", u"Backward", u"", u""};
  for (int i = 0; i < kAssignButtonCount; ++i) EXPECT_EQ(page.Captions()[i], expected[i]) << i;
}

TEST(AssignPage, StoredButtonCountsAreHeldToTheButtons) {
  auto c = DefaultConfig();
  for (int i = 0; i < BUTTON_FUNC_COUNT; ++i) c->ButtonFuncInfo[i] = Entry(21, 21);
  struct Row {
    std::int32_t count;
    int shown;
  } rows[] = {{-1, 0},
              {0, 0},
              {5, 5},
              {7, 7},
              {9, 7},
              {16, 7},
              {1000, 7},
              {std::numeric_limits<std::int32_t>::min(), 0},
              {std::numeric_limits<std::int32_t>::max(), 7}};
  for (const Row& r : rows) {
    c->ButtonCount = r.count;
    AssignPageModel page;
    page.RefreshButtonCaptions(*c, nullptr);
    for (int i = 0; i < kAssignButtonCount; ++i)
      EXPECT_EQ(page.Captions()[i], i < r.shown ? u"Disabled" : u"") << r.count << " " << i;
  }
}

TEST(AssignPage, MenuHighlightStaysWhileOpenAndHoverWaits) {
  AssignPageModel page;
  ASSERT_TRUE(page.OpenFunctionMenu(3));
  EXPECT_EQ(page.FSelectedButtonIndex, 3);
  EXPECT_TRUE(page.SpotPressed(3));
  EXPECT_TRUE(page.BadgePressed(3));
  EXPECT_FALSE(page.HoverEnabled(3));
  page.HoverLeave(3);  // the pointer moves into the menu
  EXPECT_TRUE(page.SpotPressed(3));
  page.HoverEnter(1);  // other buttons still react
  EXPECT_TRUE(page.SpotPressed(1));
  page.HoverLeave(1);
  EXPECT_FALSE(page.SpotPressed(1));
  page.FunctionMenuClosed();
  EXPECT_FALSE(page.SpotPressed(3));
  EXPECT_FALSE(page.BadgePressed(3));
  EXPECT_TRUE(page.HoverEnabled(3));
  EXPECT_EQ(page.FSelectedButtonIndex, 3);  // a choice after the close still goes to it
  page.HoverEnter(3);
  EXPECT_TRUE(page.SpotPressed(3));
  page.HoverLeave(3);
  EXPECT_FALSE(page.SpotPressed(3));
}

TEST(AssignPage, HiddenButtonsUseTheirOwnSpotsAndBadTagsDoNothing) {
  AssignPageModel page;
  ASSERT_TRUE(page.OpenFunctionMenu(5));
  EXPECT_TRUE(page.SpotPressed(7));
  EXPECT_TRUE(page.BadgePressed(7));
  // A second button's click while open moves the highlight.
  ASSERT_TRUE(page.OpenFunctionMenu(6));
  EXPECT_FALSE(page.SpotPressed(7));
  EXPECT_TRUE(page.SpotPressed(8));
  page.FunctionMenuClosed();
  page.FunctionMenuClosed();  // a second close changes nothing
  for (int i = 0; i < kSpotCount; ++i) EXPECT_FALSE(page.SpotPressed(i)) << i;
  for (int tag : {-1, 7, 9, 100, std::numeric_limits<int>::min()}) {
    EXPECT_FALSE(page.OpenFunctionMenu(tag)) << tag;
    page.HoverEnter(tag);
    page.HoverLeave(tag);
    EXPECT_EQ(AssignPageModel::HighlightIndex(tag), -1);
  }
  EXPECT_EQ(page.FSelectedButtonIndex, 6);
  EXPECT_FALSE(page.SpotPressed(-1));
  EXPECT_FALSE(page.SpotPressed(9));
}

TEST(FireKeyDialogValues, OpenClampedAndStoreWhatIsShown) {
  struct Start {
    TFIREKEYINFO stored, shown;
  } starts[] = {
      {{0, 123}, {2, 60}},      {{5, 40}, {5, 40}},           {{3, 0}, {3, 1}},
      {{300, 255}, {255, 255}}, {{65535, 65535}, {255, 255}}, {{1, 1}, {1, 1}},
  };
  for (const Start& s : starts) {
    const TFIREKEYINFO shown = FireKeyDialogStart(s.stored);
    EXPECT_EQ(shown.nLoopCount, s.shown.nLoopCount) << s.stored.nLoopCount;
    EXPECT_EQ(shown.DelyValue, s.shown.DelyValue) << s.stored.DelyValue;
  }
  struct Typed {
    const char16_t* text;
    std::uint16_t value;
  } typed[] = {
      {u"255", 255}, {u"300", 255}, {u"0", 1},    {u"-4", 1}, {u" 7 ", 7},
      {u"abc", 42},  {u"", 42},     {u"1e3", 42}, {u"-", 42}, {u"99999999999999999999999", 255},
      {u"+9", 9}};
  for (const Typed& t : typed) EXPECT_EQ(FireKeyBoxValue(t.text, 42), t.value) << Narrow(t.text);
}

TEST(FireKeyDialogValues, SeededFromTheProfileOnlyWithoutADelay) {
  struct Row {
    const char* why;
    TFIREKEYINFO entry;
    std::int32_t speed, count;
    TFIREKEYINFO seeded;
  } rows[] = {
      {"default profile", {0, 0}, 10, 2, {2, 10}},
      {"own values kept", {4, 70}, 10, 2, {4, 70}},
      {"16-bit wrap clamped, not cut", {0, 0}, 65541, 65541, {255, 255}},
      {"zero stays zero", {9, 0}, 0, 0, {0, 0}},
      {"negative stays zero", {0, 0}, -5, -1, {0, 0}},
  };
  for (const Row& r : rows) {
    const TFIREKEYINFO s = SeedFireKey(r.entry, r.speed, r.count);
    EXPECT_EQ(s.nLoopCount, r.seeded.nLoopCount) << r.why;
    EXPECT_EQ(s.DelyValue, r.seeded.DelyValue) << r.why;
  }
  // The default profile's seeding opens the dialog at 2 and 10.
  const TFIREKEYINFO shown = FireKeyDialogStart(SeedFireKey({0, 0}, 10, 2));
  EXPECT_EQ(shown.nLoopCount, 2);
  EXPECT_EQ(shown.DelyValue, 10);
}

TEST(ProgramPathField, WholePathOrNothing) {
  TBUTTONFUNCINFO e = Entry(15, 0, 2);
  std::fill(std::begin(e.ProgramPath), std::end(e.ProgramPath), u'x');
  // A field without a terminator is read whole, never past its end.
  EXPECT_EQ(StoredProgramPath(e.ProgramPath).size(), 1024u);

  const std::u16string longest(1023, u'p');
  ASSERT_TRUE(StoreProgramPath(e.ProgramPath, longest));
  EXPECT_EQ(e.ProgramPath[1023], u'\0');
  EXPECT_EQ(StoredProgramPath(e.ProgramPath), longest);

  const std::u16string shorter = u"C:\\Tools\\a.exe";
  ASSERT_TRUE(StoreProgramPath(e.ProgramPath, shorter));
  EXPECT_EQ(StoredProgramPath(e.ProgramPath), shorter);
  EXPECT_EQ(e.ProgramPath[1022], u'\0');  // nothing of the older path remains

  const std::u16string tooLong(1024, u'q');
  EXPECT_FALSE(ProgramPathFits(tooLong));
  EXPECT_FALSE(StoreProgramPath(e.ProgramPath, tooLong));
  EXPECT_EQ(StoredProgramPath(e.ProgramPath), shorter);
  EXPECT_TRUE(StoreProgramPath(e.ProgramPath, u""));
  EXPECT_EQ(StoredProgramPath(e.ProgramPath), u"");
}

}  // namespace
}  // namespace quarn
