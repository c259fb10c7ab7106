#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "dm.h"
#include "fake_environment.h"
#include "memory_stores.h"
#include "mouse_filters.h"
#include "profile_defaults.h"
#include "record_builders.h"
#include "windows_version.h"

namespace {

using quarn::BuildMouseFilters;
using quarn::MouseButtonGate;

std::unique_ptr<TMouseProfileInfo> DefaultProfile() {
  auto p = std::make_unique<TMouseProfileInfo>();
  quarn::RestoreProfileDefaults(*p);
  return p;
}

struct FilterRow {
  TMouseButtons button;
  TMouseButtons modified;
};

std::vector<FilterRow> Rows(const TMOUSECONFIGINFO& c) {
  std::vector<FilterRow> rows;
  for (const auto& f : BuildMouseFilters(c)) rows.push_back({f.MouseButton, f.ModifiedFunction});
  return rows;
}

bool operator==(const FilterRow& a, const FilterRow& b) {
  return a.button == b.button && a.modified == b.modified;
}

TEST(MouseFilters, ProfilesToFilterLists) {
  struct Case {
    const char* why;
    void (*edit)(TMOUSECONFIGINFO&);
    std::vector<FilterRow> expected;
  };
  const std::vector<FilterRow> own = {
      {LCLICK, LCLICK}, {RCLICK, RCLICK}, {MCLICK, MCLICK}, {XCLICK5, XCLICK5}, {XCLICK4, XCLICK4}};
  const Case cases[] = {
      {"defaults: every button passes, no wheel filter", [](TMOUSECONFIGINFO&) {}, own},
      {"right button disabled",
       [](TMOUSECONFIGINFO& c) { c.ButtonFuncInfo[1].MenuID = 21; },
       {{LCLICK, LCLICK},
        {RCLICK, BUTTON_NONE},
        {MCLICK, MCLICK},
        {XCLICK5, XCLICK5},
        {XCLICK4, XCLICK4}}},
      {"side button with a macro kind",
       [](TMOUSECONFIGINFO& c) { c.ButtonFuncInfo[4].FunctionKind = FUNCKIND_MACRO; },
       {{LCLICK, LCLICK},
        {RCLICK, RCLICK},
        {MCLICK, MCLICK},
        {XCLICK5, XCLICK5},
        {XCLICK4, BUTTON_NONE}}},
      {"left and right swapped",
       [](TMOUSECONFIGINFO& c) {
         c.ButtonFuncInfo[0].MenuID = 2;
         c.ButtonFuncInfo[1].MenuID = 1;
       },
       {{LCLICK, BUTTON_NONE},
        {RCLICK, BUTTON_NONE},
        {MCLICK, MCLICK},
        {XCLICK5, XCLICK5},
        {XCLICK4, XCLICK4}}},
      {"wheel down reassigned adds its filter last",
       [](TMOUSECONFIGINFO& c) { c.VWheelButtonFuncInfo[1].FunctionCode = 3; },
       {{LCLICK, LCLICK},
        {RCLICK, RCLICK},
        {MCLICK, MCLICK},
        {XCLICK5, XCLICK5},
        {XCLICK4, XCLICK4},
        {WHEELDOWN, BUTTON_NONE}}},
      {"both wheel directions reassigned",
       [](TMOUSECONFIGINFO& c) {
         c.VWheelButtonFuncInfo[0].FunctionKind = 3;
         c.VWheelButtonFuncInfo[1].FunctionKind = 3;
       },
       {{LCLICK, LCLICK},
        {RCLICK, RCLICK},
        {MCLICK, MCLICK},
        {XCLICK5, XCLICK5},
        {XCLICK4, XCLICK4},
        {WHEELUP, BUTTON_NONE},
        {WHEELDOWN, BUTTON_NONE}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    auto p = DefaultProfile();
    c.edit(p->ConfigInfo);
    EXPECT_EQ(Rows(p->ConfigInfo), c.expected);
  }
  const auto filters = BuildMouseFilters(DefaultProfile()->ConfigInfo);
  EXPECT_TRUE(filters[0].MouseStateSet.Contains(LBUTTONDOWN));
  EXPECT_TRUE(filters[0].MouseStateSet.Contains(LBUTTONUP));
  EXPECT_FALSE(filters[0].MouseStateSet.Contains(RBUTTONDOWN));
  EXPECT_TRUE(filters[3].MouseStateSet.Contains(XBUTTONUP));
}

// Every button passes on its own: no filter claims it.
const std::vector<FilterRow> kAllOwn = {
    {LCLICK, LCLICK}, {RCLICK, RCLICK}, {MCLICK, MCLICK}, {XCLICK5, XCLICK5}, {XCLICK4, XCLICK4}};

TEST(MouseFilters, EntriesNoWriterProducesLeaveTheButtonItsOwnFunction) {
  struct Case {
    const char* why;
    void (*edit)(TBUTTONFUNCINFO&);
    bool claimed;
  };
  const Case cases[] = {
      {"kind 0, MenuID 0 (zeroed)", [](TBUTTONFUNCINFO& e) { e = TBUTTONFUNCINFO{}; }, false},
      {"basic kind with MenuID 0", [](TBUTTONFUNCINFO& e) { e.MenuID = 0; }, false},
      {"basic kind with a sub-menu's ID", [](TBUTTONFUNCINFO& e) { e.MenuID = 12; }, false},
      {"basic kind with an ID beyond the menu", [](TBUTTONFUNCINFO& e) { e.MenuID = 1310; }, false},
      {"basic kind with the macro item's ID", [](TBUTTONFUNCINFO& e) { e.MenuID = 18; }, false},
      {"unknown kind 7", [](TBUTTONFUNCINFO& e) { e.FunctionKind = 7; }, false},
      {"kind 11, only in the test profile", [](TBUTTONFUNCINFO& e) { e.FunctionKind = 11; }, false},
      {"kind 255", [](TBUTTONFUNCINFO& e) { e.FunctionKind = 255; }, false},
      {"disabled is a stored function", [](TBUTTONFUNCINFO& e) { e.MenuID = 21; }, true},
      {"a Office shortcut", [](TBUTTONFUNCINFO& e) { e.MenuID = 1307; }, true},
      {"a fire key", [](TBUTTONFUNCINFO& e) { e.FunctionKind = FUNCKIND_FIREKEY; }, true},
      {"a single key", [](TBUTTONFUNCINFO& e) { e.FunctionKind = FUNCKIND_SINGLEKEY; }, true},
      {"a HID key", [](TBUTTONFUNCINFO& e) { e.FunctionKind = FUNCKIND_HIDKEY; }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    for (int button = 0; button < quarn::kPhysicalButtonCount; ++button) {
      auto p = DefaultProfile();
      c.edit(p->ConfigInfo.ButtonFuncInfo[button]);
      const auto rows = Rows(p->ConfigInfo);
      ASSERT_GE(rows.size(), 5u);
      EXPECT_EQ(rows[button].modified == BUTTON_NONE, c.claimed) << "button " << button;
    }
  }
  // A zeroed wheel entry adds no wheel filter.
  auto p = DefaultProfile();
  p->ConfigInfo.VWheelButtonFuncInfo[0] = TBUTTONFUNCINFO{};
  p->ConfigInfo.VWheelButtonFuncInfo[1] = TBUTTONFUNCINFO{};
  EXPECT_EQ(Rows(p->ConfigInfo), kAllOwn);
}

// The current profile as the monitor finds it in a damaged installation.
class DamagedProfile : public ::testing::Test {
 public:  // the cases' damage functions reach the stores
  DamagedProfile() {
    for (auto f : {u"C:", u"C:\\Users", u"C:\\Users\\me", u"C:\\Users\\me\\Documents"})
      files.AddFolder(f);
  }
  std::unique_ptr<TDM> Start() { return std::make_unique<TDM>(registry, files, env); }
  std::u16string ProfileFile() const {
    return u"C:\\Users\\me\\Documents\\QUARN Mouse Driver\\" + quarn::SlotFileName(0);
  }
  quarn::testing::MemoryRegistryStore registry;
  quarn::testing::MemoryFileStore files;
  quarn::testing::FakeEnvironment env;
};

TEST_F(DamagedProfile, EveryButtonStillPassesThroughTheFilters) {
  const std::u16string key = u"software\\QUARNMouse";
  struct Case {
    const char* why;
    std::function<void(DamagedProfile&)> damage;
    bool reloadAfterApply;  // the monitor's reload after WM_SETTINGS_APPLIED
  };
  const Case cases[] = {
      {"profile file cut to 100 bytes",
       [](DamagedProfile& t) { t.files.files[quarn::testing::Fold(t.ProfileFile())] = quarn::testing::Pattern(100, 0); },
       false},
      {"empty profile file",
       [](DamagedProfile& t) { t.files.files[quarn::testing::Fold(t.ProfileFile())].clear(); },
       false},
      {"zeroed profile file",
       [](DamagedProfile& t) {
         t.files.files[quarn::testing::Fold(t.ProfileFile())].assign(sizeof(TMouseProfileInfo), 0);
       },
       false},
      {"current slot with an unknown storage type",
       [&key](DamagedProfile& t) {
         auto g = std::make_unique<TProfileSettingGroup>();
         quarn::RestoreSettingGroupDefaults(*g, u"C:\\Users\\me\\Documents\\QUARN Mouse Driver");
         g->ProfileSettingList[0].StorageType = 9;
         t.registry.Put(quarn::kHKeyCurrentUser, key, u"zykProfileSettingGroup.pfd", quarn::testing::BytesOf(*g));
       },
       false},
      {"good file, registry copy of 100 bytes read after an apply",
       [&key](DamagedProfile& t) {
         t.registry.Put(quarn::kHKeyCurrentUser, key, quarn::SlotFileName(0), quarn::testing::Pattern(100, 0));
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    registry.values.clear();
    files.files.clear();
    { auto first = Start(); }  // a first start stores a good installation
    c.damage(*this);
    auto dm = Start();
    if (c.reloadAfterApply) {
      dm->LoadAllProfileInfoFromRegistry();
      dm->LoadCurrentProfileInfoFromRegistry();
    }
    ASSERT_EQ(dm->FProfileIndex, 0);
    EXPECT_EQ(Rows(dm->FCurrentProfileInfo.ConfigInfo), kAllOwn);
  }
}

struct Posted {
  int index, state;
  bool operator==(const Posted& o) const { return index == o.index && state == o.state; }
};

class Gate : public ::testing::Test {
 protected:
  // Runs one event through the gate as the hook component does: every event
  // first, then the claimed one when a filter claims it.
  bool Event(TMouseButtons button, int state, bool claimed) {
    bool blocked = false;
    gate.OnAnyButton(button, state, blocked);
    if (claimed) gate.OnClaimedButton(button, state, blocked);
    return blocked;
  }
  std::vector<Posted> posted;
  MouseButtonGate gate{[this](int i, int s) { posted.push_back({i, s}); }};
};

TEST_F(Gate, ClaimedPressAndReleaseAreSwallowedAndReported) {
  EXPECT_TRUE(Event(RCLICK, 1, true));
  EXPECT_TRUE(Event(RCLICK, 0, true));
  EXPECT_TRUE(Event(XCLICK4, 1, true));
  EXPECT_TRUE(Event(XCLICK4, 0, true));
  EXPECT_TRUE(Event(XCLICK5, 1, true));
  EXPECT_TRUE(Event(XCLICK5, 0, true));
  EXPECT_EQ(posted, (std::vector<Posted>{{1, 1}, {1, 0}, {4, 1}, {4, 0}, {3, 1}, {3, 0}}));
}

TEST_F(Gate, ReleaseFollowsItsPressAcrossARebuild) {
  // Pressed while reassigned, released after the filters let the button pass.
  EXPECT_TRUE(Event(LCLICK, 1, true));
  EXPECT_TRUE(Event(LCLICK, 0, false)) << "the release of a swallowed press is swallowed";
  EXPECT_EQ(posted, (std::vector<Posted>{{0, 1}, {0, 0}}));
  EXPECT_FALSE(gate.IsHeld(0));
  // Pressed while passing, released after the filters claim the button.
  posted.clear();
  EXPECT_FALSE(Event(MCLICK, 1, false));
  EXPECT_FALSE(Event(MCLICK, 0, true)) << "the release of a press that passed passes";
  EXPECT_TRUE(posted.empty());
}

TEST_F(Gate, PressAfterALostReleaseIsJudgedOnItsOwn) {
  // Swallowed press whose release never came; the filters then let the button pass.
  EXPECT_TRUE(Event(MCLICK, 1, true));
  EXPECT_FALSE(Event(MCLICK, 1, false)) << "the application sees this press";
  EXPECT_FALSE(Event(MCLICK, 0, false)) << "so it must see its release too";
  EXPECT_EQ(posted, (std::vector<Posted>{{2, 1}, {2, 0}})) << "the monitor let go once";
  EXPECT_FALSE(gate.IsHeld(2));
  // Still claimed: the lost release is reported before the new press.
  posted.clear();
  EXPECT_TRUE(Event(RCLICK, 1, true));
  EXPECT_TRUE(Event(RCLICK, 1, true));
  EXPECT_TRUE(Event(RCLICK, 0, true));
  EXPECT_EQ(posted, (std::vector<Posted>{{1, 1}, {1, 0}, {1, 1}, {1, 0}}));
}

TEST_F(Gate, WheelAndUnclaimedEventsPass) {
  EXPECT_FALSE(Event(WHEELUP, 1, true)) << "a reassigned wheel direction scrolls as a wheel";
  EXPECT_FALSE(Event(WHEELDOWN, 1, true));
  EXPECT_FALSE(Event(LCLICK, 1, false));
  EXPECT_FALSE(Event(LCLICK, 0, false));
  EXPECT_FALSE(Event(BUTTON_NONE, 1, true));
  EXPECT_TRUE(posted.empty());
  EXPECT_EQ(quarn::ButtonIndexOf(WHEELUP), -1);
  EXPECT_EQ(quarn::ButtonIndexOf(BUTTONX1), -1);
}

class FakeProbe : public quarn::WindowsVersionProbe {
 public:
  std::uint32_t PlatformId() override { return platform; }
  std::uint32_t MajorVersion() override { return major; }
  std::uint32_t MinorVersion() override { return minor; }
  std::u16string ServicePack() override { return csd; }
  bool IsServerR2() override { return serverR2; }
  std::uint16_t NativeArchitecture() override { return arch; }
  std::optional<std::uint8_t> ProductType() override {
    ++productTypeCalls;
    return product;
  }
  std::uint32_t platform = 2, major = 6, minor = 1;
  std::u16string csd;
  bool serverR2 = false;
  std::uint16_t arch = 9;
  std::optional<std::uint8_t> product = 1;
  int productTypeCalls = 0;
};

TEST(WindowsVersion, Classification) {
  struct Case {
    const char* why;
    std::uint32_t platform, major, minor;
    std::u16string csd;
    bool serverR2;
    std::uint16_t arch;
    std::optional<std::uint8_t> product;
    TWindowsVersion expected;
  };
  const Case cases[] = {
      {"95", 1, 4, 0, u"", false, 0, 1, wvWin95},
      {"95 OSR2", 1, 4, 0, u" C ", false, 0, 1, wvWin95OSR2},
      {"98 SE with blanks", 1, 4, 10, u" A ", false, 0, 1, wvWin98SE},
      {"98 with lower-case a", 1, 4, 10, u"a", false, 0, 1, wvWin98},
      {"ME", 1, 4, 90, u"", false, 0, 1, wvWinME},
      {"9x above 90", 1, 4, 91, u"", false, 0, 1, wvUnknown},
      {"NT 3.51", 2, 3, 51, u"", false, 0, 1, wvWinNT351},
      {"NT 3.2", 2, 3, 2, u"", false, 0, 1, wvUnknown},
      {"NT 4", 2, 4, 7, u"", false, 0, 1, wvWinNT4},
      {"2000", 2, 5, 0, u"", false, 0, 1, wvWin2000},
      {"XP", 2, 5, 1, u"", false, 0, 1, wvWinXP},
      {"XP x64", 2, 5, 2, u"", false, 9, 1, wvWinXP64},
      {"2003 R2 whatever the architecture", 2, 5, 2, u"", true, 9, 1, wvWin2003R2},
      {"5.2 without native info", 2, 5, 2, u"", false, 0, 1, wvWin2003},
      {"5.2 server x64", 2, 5, 2, u"", false, 9, 3, wvWin2003},
      {"Vista", 2, 6, 0, u"", false, 9, 1, wvWinVista},
      {"2008", 2, 6, 0, u"", false, 9, 3, wvWinServer2008},
      {"7", 2, 6, 1, u"", false, 9, 1, wvWin7},
      {"8", 2, 6, 2, u"", false, 9, 1, wvWin8},
      {"2012", 2, 6, 2, u"", false, 9, 2, wvWinServer2012R2},
      {"failing extended query counts as a server", 2, 6, 1, u"", false, 9, std::nullopt,
       wvWinServer2008R2},
      {"6.3", 2, 6, 3, u"", false, 9, 1, wvUnknown},
      {"10.0", 2, 10, 0, u"", false, 9, 1, wvUnknown},
      {"other platform", 3, 6, 1, u"", false, 9, 1, wvUnknown},
  };
  for (const auto& c : cases) {
    FakeProbe probe;
    probe.platform = c.platform;
    probe.major = c.major;
    probe.minor = c.minor;
    probe.csd = c.csd;
    probe.serverR2 = c.serverR2;
    probe.arch = c.arch;
    probe.product = c.product;
    EXPECT_EQ(quarn::ClassifyWindowsVersion(probe), c.expected) << c.why;
  }
  FakeProbe xp;
  xp.major = 5;
  xp.minor = 2;
  xp.arch = 0;
  quarn::ClassifyWindowsVersion(xp);
  EXPECT_EQ(xp.productTypeCalls, 0) << "the product type is asked only for a non-x86 5.2";
}

}  // namespace
