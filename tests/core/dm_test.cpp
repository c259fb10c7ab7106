#include "dm.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "fake_environment.h"
#include "memory_stores.h"
#include "profile_defaults.h"
#include "record_builders.h"
#include "shared_tables.h"
#include "text_field.h"

namespace {

using quarn::testing::BytesOf;
using quarn::testing::FakeEnvironment;
using quarn::testing::Fold;
using quarn::testing::MemoryFileStore;
using quarn::testing::MemoryRegistryStore;
using quarn::testing::Pattern;
using quarn::testing::PatternProfile;

constexpr auto HKCU = quarn::kHKeyCurrentUser;
const std::u16string kKey = u"software\\QUARNMouse";
const std::u16string kDocs = u"C:\\Users\\me\\Documents";
const std::u16string kData = kDocs + u"\\QUARN Mouse Driver";

std::u16string ProfileFile(int slot) {
  return kData + u"\\" + quarn::SlotFileName(slot);
}

template <typename T>
std::unique_ptr<T> Decode(const std::vector<std::uint8_t>& bytes) {
  auto r = std::make_unique<T>();
  std::memset(r.get(), 0, sizeof(T));
  std::memcpy(r.get(), bytes.data(), std::min(bytes.size(), sizeof(T)));
  return r;
}

std::array<std::uint8_t, 3> Colour(const TMouseProfileInfo& p) {
  const auto& led = p.ConfigInfo.LEDConfig;
  return {led.R, led.G, led.B};
}

class DataModule : public ::testing::Test {
 protected:
  DataModule() {
    for (auto f : {u"C:", u"C:\\Users", u"C:\\Users\\me", u"C:\\Users\\me\\Documents"})
      files.AddFolder(f);
  }
  std::unique_ptr<TDM> Start() { return std::make_unique<TDM>(registry, files, env); }

  // Stores a group table whose slot `slot` is changed by `edit`, before a start.
  template <typename Edit>
  void StoreGroup(Edit edit) {
    auto g = std::make_unique<TProfileSettingGroup>();
    std::memset(g.get(), 0, sizeof *g);
    quarn::RestoreSettingGroupDefaults(*g, kData);
    edit(*g);
    registry.Put(HKCU, kKey, u"zykProfileSettingGroup.pfd", BytesOf(*g));
  }
  void StoreAllSettings(std::int32_t current) {
    TALLGAMESINFO a{};
    quarn::RestoreAllSettingDefaults(a, 0x0409);
    a.CurrentProfileIndex = current;
    registry.Put(HKCU, kKey, u"zykPROFILE.pfd", BytesOf(a));
  }
  void StoreProfileFile(int slot, const TMouseProfileInfo& p) {
    files.AddFolder(kData);
    files.files[Fold(ProfileFile(slot))] = BytesOf(p);
  }

  MemoryRegistryStore registry;
  MemoryFileStore files;
  FakeEnvironment env;
};

TEST_F(DataModule, FirstStartCreatesTheStoredRecordsAndFiles) {
  auto dm = Start();
  EXPECT_EQ(registry.writes,
            (std::vector<std::u16string>{u"zykProfileSettingGroup.pfd", u"zykPROFILE.pfd"}))
      << "the two tables are stored at once, profiles only as files";
  EXPECT_EQ(registry.Get(HKCU, kKey, u"zykProfileSettingGroup.pfd")->bytes.size(), 30964u);
  EXPECT_EQ(registry.Get(HKCU, kKey, u"zykPROFILE.pfd")->bytes.size(), 30960u);
  EXPECT_TRUE(files.DirectoryExists(kData));
  ASSERT_EQ(files.writes.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(files.writes[i], Fold(ProfileFile(i)));
    const auto& bytes = *files.Get(ProfileFile(i));
    ASSERT_EQ(bytes.size(), 127108u);
    auto p = Decode<TMouseProfileInfo>(bytes);
    EXPECT_EQ(quarn::ReadText(p->ProfileHeader.FFileName), quarn::SlotFileName(i));
    auto expected = std::make_unique<TMouseProfileInfo>();
    quarn::SetProfileDefaultLEDColor(i, *expected);
    EXPECT_EQ(Colour(*p), Colour(*expected));
    EXPECT_EQ(p->ConfigInfo.ReportRate, 125);
    // Every slot keeps its file path, the first one included.
    EXPECT_EQ(dm->FProfileGroup[i]->FilePath(), kData + u"\\");
  }
  EXPECT_EQ(dm->FProfileIndex, 0);
  EXPECT_EQ(Colour(dm->FCurrentProfileInfo), (std::array<std::uint8_t, 3>{0, 255, 0}));
  EXPECT_EQ(dm->FProfileGroup[5], nullptr);
  EXPECT_EQ(DeviceUsageAndPage.UsagePage, 0xFFA0);
  EXPECT_EQ(DeviceUsageAndPage.Usage, 0x0001);

  // The first apply writes profile 1 to its file.
  dm->FCurrentProfileInfo.ConfigInfo.ReportRate = 1000;
  dm->SaveBackToCurrentProfileInfo();
  dm->SaveCurrentProfileInfoToFile();
  EXPECT_EQ(Decode<TMouseProfileInfo>(*files.Get(ProfileFile(0)))->ConfigInfo.ReportRate, 1000);
}

TEST_F(DataModule, SecondStartReadsEverythingBackUnchanged) {
  auto first = Start();
  first->FCurrentProfileInfo.ConfigInfo.PointerSpeed = 17;
  first->SaveBackToCurrentProfileInfo();
  first->SwitchToProfile(3);
  first->SaveBackAllProfileSettingInfo();
  first->SaveBackAllProfileInfoToFile();
  const auto registryBefore = registry.values;
  const auto filesBefore = files.files;
  registry.writes.clear();
  files.writes.clear();

  auto second = Start();
  EXPECT_TRUE(registry.writes.empty());
  EXPECT_TRUE(files.writes.empty());
  EXPECT_EQ(second->FProfileIndex, 3);
  TMouseProfileInfo* p0 = new TMouseProfileInfo;
  std::unique_ptr<TMouseProfileInfo> own(p0);
  ASSERT_TRUE(second->ReadProfileInfo(*p0, 0));
  EXPECT_EQ(p0->ConfigInfo.PointerSpeed, 17);
  for (int i = 0; i < 5; ++i) {
    auto p = std::make_unique<TMouseProfileInfo>();
    second->ReadProfileInfo(*p, i);
    EXPECT_EQ(BytesOf(*p), *files.Get(ProfileFile(i))) << i;
  }
  EXPECT_EQ(BytesOf(second->FProfileSettingGroup),
            registry.Get(HKCU, kKey, u"zykProfileSettingGroup.pfd")->bytes);
}

TEST_F(DataModule, StorageTypesAndInvalidSlots) {
  struct Case {
    const char* why;
    std::uint8_t storage;
    std::u16string name, folder;
    bool storedValue;  // a registry value holds a profile for the slot
    bool loaded;       // the slot holds the stored profile
    bool defaulted;    // the slot holds defaults with its colour
  };
  const std::u16string longName(21, u'n');
  const Case cases[] = {
      {"registry slot with a value", STORAGE_REGISTRY, u"zykProfile2.pfd", u"", true, true, false},
      {"registry slot without value: defaults in memory", STORAGE_REGISTRY, u"zykProfile2.pfd", u"",
       false, false, true},
      {"file slot whose name is empty", STORAGE_FILE, u"", kData, false, false, true},
      {"file slot whose name is a path", STORAGE_FILE, u"..\\evil.pfd", kData, false, false, true},
      {"file slot whose name has a separator", STORAGE_FILE, u"sub/evil.pfd", kData, false, false,
       true},
      {"file slot whose name fills the field", STORAGE_FILE, longName, kData, false, false, true},
      {"file slot without a folder", STORAGE_FILE, u"zykProfile2.pfd", u"", false, false, true},
      {"file slot with .. in the folder", STORAGE_FILE, u"zykProfile2.pfd", kData + u"\\..\\..",
       false, false, true},
      {"other storage type keeps a zero record", 7, u"zykProfile2.pfd", kData, true, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    registry.values.clear();
    files.files.clear();
    StoreAllSettings(0);
    StoreGroup([&](TProfileSettingGroup& g) {
      auto& s = g.ProfileSettingList[1];
      s.StorageType = c.storage;
      std::memset(s.FileName, 0, sizeof s.FileName);
      std::memcpy(s.FileName, c.name.data(), std::min<std::size_t>(c.name.size(), 21) * 2);
      quarn::WriteText(s.FilePath, c.folder);
    });
    auto stored = PatternProfile(42);
    if (c.storedValue) registry.Put(HKCU, kKey, u"zykProfile2.pfd", BytesOf(*stored));
    registry.writes.clear();
    files.writes.clear();
    auto dm = Start();
    auto p = std::make_unique<TMouseProfileInfo>();
    ASSERT_TRUE(dm->ReadProfileInfo(*p, 1));
    if (c.loaded) {
      EXPECT_EQ(BytesOf(*p), BytesOf(*stored));
    }
    if (c.defaulted) {
      EXPECT_EQ(p->ConfigInfo.ReportRate, 125);
      EXPECT_EQ(Colour(*p), (std::array<std::uint8_t, 3>{255, 0, 0}));
    }
    if (!c.loaded && !c.defaulted) {
      auto zero = std::make_unique<TMouseProfileInfo>();
      std::memset(zero.get(), 0, sizeof *zero);
      EXPECT_EQ(BytesOf(*p), BytesOf(*zero));
    }
    // Nothing of slot 1 is written at start; only the other four files are.
    for (const auto& w : files.writes) EXPECT_EQ(w.find(u"zykprofile2"), std::u16string::npos);
    EXPECT_EQ(files.writes.size(), 4u);
    EXPECT_TRUE(registry.writes.empty());
    // Nor by the saves of an apply, when the slot is invalid.
    if (c.defaulted && c.storage == STORAGE_FILE) {
      dm->SwitchToProfile(1);
      dm->SaveCurrentProfileInfoToRegistry();
      dm->SaveCurrentProfileInfoToFile();
      dm->SaveBackAllProfileInfoToFile();
      EXPECT_EQ(files.writes.size(), 4u + 4u) << "the other four files only";
      for (const auto& w : registry.writes) EXPECT_NE(w, u"") << "no nameless value";
      EXPECT_EQ(registry.values.count(MemoryRegistryStore::Id(HKCU, kKey, u"")), 0u);
    }
  }
}

TEST_F(DataModule, ShortAndLongStoredProfiles) {
  // Profile 1's file is short, profile 2's long.
  auto full = PatternProfile(1);
  StoreProfileFile(0, *full);
  files.files[Fold(ProfileFile(1))] = Pattern(100, 9);
  auto longBytes = Pattern(127108 + 64, 3);
  files.files[Fold(ProfileFile(2))] = longBytes;
  auto dm = Start();

  ASSERT_TRUE(dm->SwitchToProfile(0));
  ASSERT_TRUE(dm->SwitchToProfile(1));
  auto current = BytesOf(dm->FCurrentProfileInfo);
  EXPECT_TRUE(std::equal(current.begin(), current.begin() + 100, Pattern(100, 9).begin()));
  EXPECT_TRUE(std::all_of(current.begin() + 100, current.end(), [](std::uint8_t b) {
    return b == 0;
  })) << "a short record is zero-extended, never mixed with the profile shown before";

  ASSERT_TRUE(dm->SwitchToProfile(2));
  dm->SaveBackToCurrentProfileInfo();
  dm->SaveCurrentProfileInfoToFile();
  const auto& saved = *files.Get(ProfileFile(2));
  ASSERT_EQ(saved.size(), longBytes.size()) << "a longer record keeps its tail";
  EXPECT_TRUE(std::equal(saved.begin() + 127108, saved.end(), longBytes.begin() + 127108));
  EXPECT_TRUE(std::all_of(saved.begin() + 127072, saved.begin() + 127108, [](std::uint8_t b) {
    return b == 0;
  })) << "the OtherConfig bytes are written as zero";
}

TEST_F(DataModule, UnreadableProfileFileIsNeverOverwritten) {
  files.AddFolder(kData);
  files.unreadable.insert(Fold(ProfileFile(2)));
  auto dm = Start();
  for (const auto& w : files.writes) EXPECT_NE(w, Fold(ProfileFile(2)));
  auto p = std::make_unique<TMouseProfileInfo>();
  dm->ReadProfileInfo(*p, 2);
  EXPECT_EQ(Colour(*p), (std::array<std::uint8_t, 3>{0, 0, 255})) << "defaults in memory";
}

TEST_F(DataModule, StoredTablesOfOtherSizesAndTypes) {
  // A short group table: the rest of the record is zero, not left over.
  auto g = std::make_unique<TProfileSettingGroup>();
  std::memset(g.get(), 0, sizeof *g);
  quarn::RestoreSettingGroupDefaults(*g, kData);
  g->CurrentProfileGroup = 1;
  auto bytes = BytesOf(*g);
  bytes.resize(12 + 6190);  // only slot 0
  registry.Put(HKCU, kKey, u"zykProfileSettingGroup.pfd", bytes);
  // The all-settings value stored as a string: treated as missing.
  registry.Put(HKCU, kKey, u"zykPROFILE.pfd", Pattern(10, 1), /*binary=*/false);
  auto dm = Start();
  EXPECT_EQ(dm->FProfileGroupIndex, 1);
  EXPECT_EQ(dm->FProfileSettingGroup.ProfileSettingList[1].StorageType, 0);
  EXPECT_EQ(dm->FProfileSettingGroup.ProfileSettingList[1].FileName[0], 0);
  const auto* all = registry.Get(HKCU, kKey, u"zykPROFILE.pfd");
  EXPECT_TRUE(all->binary) << "defaults replaced the wrongly typed value";
  EXPECT_EQ(all->bytes.size(), 30960u);
  EXPECT_EQ(registry.Get(HKCU, kKey, u"zykProfileSettingGroup.pfd")->bytes.size(), bytes.size())
      << "a short but readable table is not rewritten at start";
}

TEST_F(DataModule, IndexesOutOfRange) {
  StoreAllSettings(7);
  StoreGroup([](TProfileSettingGroup& g) {
    g.CurrentProfileGroup = 5;
    g.ProfileIndexOfProfileGroup[0] = 9;
    g.ProfileIndexOfProfileGroup[1] = -2;
  });
  files.AddFolder(kData);
  auto stored0 = PatternProfile(77);
  StoreProfileFile(0, *stored0);
  auto dm = Start();
  EXPECT_EQ(dm->FProfileIndex, 0);
  EXPECT_EQ(dm->FProfileGroupIndex, 0);
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), BytesOf(*stored0))
      << "an out-of-range current index falls back to profile 0 as loaded";
  EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentProfileIndex, 0);

  const auto current = BytesOf(dm->FCurrentProfileInfo);
  for (int bad : {5, -1, 1000}) {
    EXPECT_FALSE(dm->SwitchToProfile(bad));
    EXPECT_FALSE(dm->LoadProfileInfoFromRegistry(bad));
    EXPECT_FALSE(dm->RestoreProfileInfoToDefault(bad));
    EXPECT_FALSE(dm->SaveProfileInfoToRegistry(bad));
    EXPECT_FALSE(dm->ReadProfileInfo(dm->FDefaultProfileInfo, bad));
    EXPECT_FALSE(dm->WriteProfileInfo(dm->FDefaultProfileInfo, bad));
    EXPECT_FALSE(dm->SetProfileChanged(bad, true));
    EXPECT_FALSE(dm->IsProfileChanged(bad));
  }
  EXPECT_FALSE(dm->SwitchToProfileGroup(0)) << "the group selects profile 9";
  EXPECT_FALSE(dm->SwitchToProfileGroup(1));
  EXPECT_FALSE(dm->SwitchToProfileGroup(2));
  EXPECT_FALSE(dm->RestoreProfileGroupToDefault(0));
  dm->LoadProfileGroupSettingInfoFromRegistry();
  EXPECT_EQ(dm->FProfileIndex, 0);
  EXPECT_EQ(dm->FProfileGroupIndex, 0);
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), current);
  EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentProfileIndex, 0);

  // A reload with the stored index still out of range shows profile 0 as stored.
  dm->SwitchToProfile(3);
  dm->LoadAllProfileInfoFromRegistry();
  EXPECT_EQ(dm->FProfileIndex, 0);
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), BytesOf(*stored0));
}

TEST_F(DataModule, SwitchingAndGroups) {
  auto dm = Start();
  dm->FProfileSettingGroup.ProfileIndexOfProfileGroup[1] = 4;
  ASSERT_TRUE(dm->SwitchToProfileGroup(1));
  EXPECT_EQ(dm->FProfileIndex, 4);
  EXPECT_EQ(dm->FProfileGroupIndex, 1);
  EXPECT_EQ(dm->FProfileSettingGroup.CurrentProfileGroup, 1);
  EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentProfileIndex, 4);
  EXPECT_EQ(Colour(dm->FCurrentProfileInfo), (std::array<std::uint8_t, 3>{255, 0, 255}));

  // Apply: the all-settings record stores the current profile; a reload returns to it.
  dm->SaveBackAllProfileSettingInfo();
  dm->SwitchToProfile(2);
  dm->LoadAllProfileInfoFromRegistry();
  EXPECT_EQ(dm->FProfileIndex, 4);

  auto edited = PatternProfile(5);
  EXPECT_TRUE(dm->WriteProfileInfo(*edited, 4));
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), BytesOf(*edited))
      << "writing the current profile refreshes it";
  EXPECT_TRUE(dm->IsProfileChanged(4));
  EXPECT_FALSE(dm->IsProfileChanged(3));
  EXPECT_TRUE(dm->SaveBackToProfileInfo(*edited, 3));
  EXPECT_FALSE(dm->IsProfileChanged(3)) << "SaveBackToProfileInfo sets no flag";
}

TEST_F(DataModule, Resets) {
  auto dm = Start();
  dm->SwitchToProfile(2);
  quarn::WriteText(dm->FCurrentProfileInfo.ProfileHeader.FFileName, u"Named");
  dm->FCurrentProfileInfo.MacroKeyInfoList.nMacroInfoCount = 3;
  dm->FCurrentProfileInfo.ConfigInfo.ReportRate = 500;
  dm->SaveBackToCurrentProfileInfo();
  const auto filesBefore = files.writes.size();
  dm->RestoreCurrentProfileInfoToDefault();
  EXPECT_EQ(Colour(dm->FCurrentProfileInfo), (std::array<std::uint8_t, 3>{0, 0, 255}));
  EXPECT_EQ(quarn::ReadText(dm->FCurrentProfileInfo.ProfileHeader.FFileName), u"Named");
  EXPECT_EQ(dm->FCurrentProfileInfo.MacroKeyInfoList.nMacroInfoCount, 0);
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ReportRate, 125);
  EXPECT_EQ(files.writes.size(), filesBefore) << "nothing is saved";

  dm->RestoreAllProfileInfoToDefault();
  for (int i = 0; i < 5; ++i) {
    auto p = std::make_unique<TMouseProfileInfo>();
    dm->ReadProfileInfo(*p, i);
    EXPECT_EQ(Colour(*p), (std::array<std::uint8_t, 3>{255, 0, 0})) << "all red, " << i;
    EXPECT_TRUE(dm->IsProfileChanged(i));
  }
  EXPECT_EQ(Colour(dm->FCurrentProfileInfo), (std::array<std::uint8_t, 3>{255, 0, 0}));

  EXPECT_TRUE(dm->RestoreProfileInfoToDefault(3));
  auto p3 = std::make_unique<TMouseProfileInfo>();
  dm->ReadProfileInfo(*p3, 3);
  EXPECT_EQ(Colour(*p3), (std::array<std::uint8_t, 3>{255, 255, 0}));

  dm->FCurrentProfileInfo.ConfigInfo.FireKeySpeed = 99;
  dm->RestoreToDefaultLightAndReportAdvancedSetting();
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.FireKeySpeed, 5);
  auto stream = std::make_unique<TMouseProfileInfo>();
  dm->ReadProfileInfo(*stream, 2);
  EXPECT_EQ(stream->ConfigInfo.FireKeySpeed, 10) << "partial resets are not pushed back";

  registry.writes.clear();
  dm->RestoreProfileSettingGroupToDefault();
  EXPECT_EQ(registry.writes, std::vector<std::u16string>{u"zykProfileSettingGroup.pfd"});
}

TEST_F(DataModule, TestAndDefaultProfilesAreBuiltNotStored) {
  auto dm = Start();
  registry.writes.clear();
  files.writes.clear();
  dm->InitTestDefaultValue();
  EXPECT_EQ(dm->FTestProfileInfo.ConfigInfo.ButtonCount, 7);
  EXPECT_EQ(dm->FDefaultProfileInfo.ConfigInfo.ButtonCount, 5);
  EXPECT_EQ(Colour(dm->FDefaultProfileInfo), (std::array<std::uint8_t, 3>{255, 0, 0}));
  EXPECT_TRUE(registry.writes.empty());
  EXPECT_TRUE(files.writes.empty());
}

TEST_F(DataModule, MacroListAcrossProfiles) {
  auto dm = Start();
  auto setMacro = [](TBUTTONFUNCINFO& b, std::u16string set, std::u16string name,
                     std::uint16_t tag) {
    b.FunctionKind = FUNCKIND_MACRO;
    quarn::WriteText(b.MacroSetName, set);
    quarn::WriteText(b.MacroName, name);
    b.MacroKeyInfo.MacroListCount = tag;
  };
  auto p = std::make_unique<TMouseProfileInfo>();
  dm->ReadProfileInfo(*p, 0);
  setMacro(p->ConfigInfo.ButtonFuncInfo[3], u"Set", u"Jump", 1);
  setMacro(p->ConfigInfo.ButtonFuncInfo[4], u"Set", u"Run", 2);
  p->ConfigInfo.ButtonFuncInfo[5] = p->ConfigInfo.ButtonFuncInfo[3];  // beyond ButtonCount 5
  dm->SaveBackToProfileInfo(*p, 0);
  dm->ReadProfileInfo(*p, 1);
  setMacro(p->ConfigInfo.ButtonFuncInfo[2], u"SET", u"jump", 3);  // same macro, other case
  p->ConfigInfo.ButtonCount = 99;                                 // clamped to 15
  for (int b = 5; b < 15; ++b)
    setMacro(p->ConfigInfo.ButtonFuncInfo[b], u"Many", std::u16string(1, u'a' + b), 10 + b);
  dm->SaveBackToProfileInfo(*p, 1);
  dm->ReadProfileInfo(*p, 2);
  p->ConfigInfo.ButtonCount = 15;
  for (int b = 0; b < 15; ++b)
    setMacro(p->ConfigInfo.ButtonFuncInfo[b], u"More", std::u16string(1, u'A' + b), 40 + b);
  dm->SaveBackToProfileInfo(*p, 2);

  auto list = std::make_unique<TMACROKEYINFOLIST>();
  list->nMacroInfoCount = 500;  // whatever the caller had: the count is set, not added to
  std::vector<std::u16string> names;
  EXPECT_TRUE(dm->GetAllProfilesMacrosList(*list, names));
  ASSERT_EQ(list->nMacroInfoCount, 21) << "the list holds at most 21 macros";
  ASSERT_EQ(names.size(), 21u);
  EXPECT_EQ(names[0], u"Set_Jump");
  EXPECT_EQ(names[1], u"Set_Run");
  EXPECT_EQ(names[2], u"Many_f") << "SET_jump is the same macro as Set_Jump";
  EXPECT_EQ(list->MacroInfos[0].MacroListCount, 1);
  EXPECT_EQ(list->MacroInfos[2].MacroListCount, 15);
  EXPECT_EQ(list->MacroInfos[20].nMacroIndex, 20);
  EXPECT_EQ(names[12], u"More_A");
}

TEST_F(DataModule, LinkedProgramLookup) {
  auto dm = Start();
  auto p = std::make_unique<TMouseProfileInfo>();
  for (int i = 0; i < 3; ++i) {
    dm->ReadProfileInfo(*p, i);
    quarn::WriteText(p->ConfigInfo.ApplicationList[0],
                     std::u16string(u"C:\\Games\\game") + char16_t(u'0' + i) + u".exe");
    dm->SaveBackToProfileInfo(*p, i);
  }
  dm->ReadProfileInfo(*p, 4);
  quarn::WriteText(p->ConfigInfo.ApplicationList[0], std::u16string(513, u'x'));
  dm->SaveBackToProfileInfo(*p, 4);
  EXPECT_EQ(dm->GetProfileIndexByLinkedProgramPath(u"c:\\GAMES\\Game1.EXE"), 1);
  EXPECT_EQ(dm->GetProfileIndexByLinkedProgramPath(u""), 3) << "the first empty entry";
  EXPECT_EQ(dm->GetProfileIndexByLinkedProgramPath(std::u16string(513, u'X')), 4) << "a full entry";
  EXPECT_EQ(dm->GetProfileIndexByLinkedProgramPath(u"C:\\other.exe"), -1);
}

TEST_F(DataModule, NewFileNameForTheCurrentProfile) {
  auto dm = Start();
  dm->SwitchToProfile(1);
  files.AddFolder(u"C:\\Saved");
  EXPECT_TRUE(dm->ChangeCurrentProfileFileNameAndPath(u"C:\\Saved\\mine.pfd"));
  EXPECT_EQ(dm->FProfileGroup[1]->FileName(), u"mine.pfd");
  EXPECT_EQ(dm->FProfileGroup[1]->FilePath(), u"C:\\Saved\\");
  EXPECT_EQ(quarn::ReadText(dm->FProfileSettingGroup.ProfileSettingList[1].FilePath),
            u"C:\\Saved\\");
  EXPECT_EQ(quarn::ReadText(dm->FProfileSettingGroup.ProfileSettingList[1].FileName), u"mine.pfd");
  EXPECT_EQ(quarn::ReadText(dm->FCurrentProfileInfo.ProfileHeader.FFileName), u"mine.pfd");

  const auto group = BytesOf(dm->FProfileSettingGroup);
  const auto current = BytesOf(dm->FCurrentProfileInfo);
  for (const std::u16string& bad :
       {u"C:\\Saved\\" + std::u16string(21, u'n'),
        u"C:\\" + std::u16string(1100, u'd') + u"\\a.pfd", std::u16string(u"bare.pfd"),
        std::u16string(u"C:\\Saved\\"),
        // A control character is in no name Windows makes: "..\x03" is not a
        // name of an ordinary folder under C:\Saved.
        std::u16string(u"C:\\Saved\\..\x03\\mine.pfd"), std::u16string(u"C:\\Saved\\mi\tne.pfd")}) {
    EXPECT_FALSE(dm->ChangeCurrentProfileFileNameAndPath(bad));
  }
  EXPECT_EQ(BytesOf(dm->FProfileSettingGroup), group) << "nothing changes";
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), current);
  EXPECT_EQ(dm->FProfileGroup[1]->FileName(), u"mine.pfd");
}

TEST_F(DataModule, TwoDotsInsideANameAreAnOrdinaryNameOnlyADotsComponentIsRefused) {
  // A documents folder whose names hold two dots keeps every slot stored.
  for (const std::u16string docs : {u"C:\\Users\\john..smith\\Documents", u"D:\\Data\\My..Docs"}) {
    SCOPED_TRACE(std::string(docs.begin(), docs.end()));
    registry.values.clear();
    files.files.clear();
    files.writes.clear();
    env.documents = docs;
    for (std::size_t i = docs.find(u'\\'); i != std::u16string::npos; i = docs.find(u'\\', i + 1))
      files.AddFolder(docs.substr(0, i));
    files.AddFolder(docs);
    auto dm = Start();
    ASSERT_EQ(files.writes.size(), 5u) << "every profile file is written";
    EXPECT_EQ(files.writes[0], Fold(docs + u"\\QUARN Mouse Driver\\zykProfile1.pfd"));
    dm->FCurrentProfileInfo.ConfigInfo.ReportRate = 500;
    dm->SaveCurrentProfileInfoToRegistry();
    dm->SaveCurrentProfileInfoToFile();
    EXPECT_EQ(files.writes.size(), 6u) << "and saved again after an edit";
    EXPECT_NE(registry.Get(HKCU, kKey, u"zykProfile1.pfd"), nullptr);
  }

  env.documents = kDocs;
  auto dm = Start();
  files.AddFolder(u"C:\\Saved");
  files.AddFolder(u"C:\\Saved\\a..b");
  struct Case {
    std::u16string path;
    bool accepted;
  };
  const Case cases[] = {
      {u"C:\\Saved\\my..profile.pfd", true},
      {u"C:\\Saved\\a..b\\x.pfd", true},
      {u"C:\\Saved\\..pfd", true},
      {u"C:\\Saved\\..\\x.pfd", false},
      {u"C:\\Saved\\...\\x.pfd", false},
      {u"C:\\Saved\\.. \\x.pfd", false},
      {u"C:\\Saved/../x.pfd", false},
      {u"..\\x.pfd", false},
      {u"C:\\Saved\\..", false},
      {u"C:\\Saved\\...", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dm->ChangeCurrentProfileFileNameAndPath(c.path), c.accepted)
        << std::string(c.path.begin(), c.path.end());
  }
}

TEST_F(DataModule, PresetMacroFolder) {
  auto dm = Start();
  EXPECT_EQ(dm->GetPersonalDocumentPresetMacroPath(), kData + u"\\PresetMacros\\MacroSet.MSDB");
  EXPECT_TRUE(files.DirectoryExists(kData + u"\\PresetMacros"));
  files.folders.erase(Fold(kData + u"\\PresetMacros"));
  files.uncreatable.insert(Fold(kData + u"\\PresetMacros"));
  EXPECT_EQ(dm->GetPersonalDocumentPresetMacroPath(), kData + u"\\PresetMacros\\MacroSet.MSDB")
      << "a folder that cannot be created does not stop anything";
}

TEST_F(DataModule, UnknownDocumentsFolderWritesNoFileAnywhere) {
  env.documents.clear();
  auto dm = Start();
  EXPECT_TRUE(files.writes.empty());
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.ReportRate, 125) << "defaults in memory";
  EXPECT_EQ(dm->GetPersonalDocumentPresetMacroPath(), u"");
}

TEST_F(DataModule, LanguageAndConfigAtCreation) {
  env.langID = 0x0804;
  files.AddFolder(u"C:\\Program Files");
  files.AddFolder(env.programFolder);
  const std::string ini =
      "[Websites]\nSupportWebSite=http://support.example/\n[HelpFiles]\n0409=en.chm\n";
  files.files[Fold(env.programFolder + u"\\config.ini")] =
      std::vector<std::uint8_t>(ini.begin(), ini.end());
  auto dm = Start();
  EXPECT_EQ(dm->FAllProfileSettingInfo.CurrentLanguage, 1);
  EXPECT_EQ(dm->FOtherConfig.SupportWebSite, u"http://support.example/");
  ASSERT_EQ(dm->FOtherConfig.HelpFile.size(), 1u);
}

TEST_F(DataModule, StoredOtherConfigBytesAreIgnored) {
  auto stored = PatternProfile(8);
  std::memset(stored->OtherConfig, 0xAB, sizeof stored->OtherConfig);
  StoreProfileFile(0, *stored);
  auto dm = Start();
  for (auto b : dm->FCurrentProfileInfo.OtherConfig) EXPECT_EQ(b, 0);
  dm->SaveCurrentProfileInfoToFile();
  const auto& saved = *files.Get(ProfileFile(0));
  EXPECT_TRUE(
      std::all_of(saved.begin() + 127072, saved.end(), [](std::uint8_t b) { return b == 0; }));
  ClearStoredOtherConfig(*stored);
  EXPECT_EQ(saved, BytesOf(*stored)) << "every other byte as stored";
}

}  // namespace
