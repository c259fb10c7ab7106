// The profile data module over in-memory stores holding damaged copies of what
// a first start stores (the group table, the all-settings record, the profile
// files and registry values, config.ini): each kept, patched, cut, replaced,
// removed, of the wrong type or unreadable. Then a sequence of the module's
// operations with indices and paths from the input, and the monitor's use of
// the current profile: its mouse filters, and a press and release of every
// button index and every external command. Invariants: the profile and group
// indices stay in range, loading never writes over a file that exists (an
// unreadable one above all), every path written stays a plain file name in a
// folder without "..", and after the abort nothing is left held down.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "action_harness.h"
#include "button_action_dispatcher.h"
#include "dm.h"
#include "fake_environment.h"
#include "memory_stores.h"
#include "mouse_filters.h"
#include "profile_defaults.h"

namespace {

using quarn::fuzz::FuzzInput;
using quarn::testing::Fold;
using quarn::testing::MemoryFileStore;
using quarn::testing::MemoryRegistryStore;

// A file store that remembers every write it was asked for, refused or not.
class WatchedFileStore : public MemoryFileStore {
 public:
  bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                      std::size_t size) override {
    attempts.push_back(Fold(path));
    return MemoryFileStore::WriteWholeFile(path, data, size);
  }
  std::vector<std::u16string> attempts;
};

struct Stores {
  MemoryRegistryStore registry;
  WatchedFileStore files;
  quarn::testing::FakeEnvironment env;
};

// What a first start leaves behind, made once.
const Stores& Baseline() {
  static const Stores* baseline = [] {
    auto* s = new Stores;
    s->files.AddFolder(u"C:");
    s->files.AddFolder(u"C:\\Users");
    s->files.AddFolder(u"C:\\Users\\me");
    s->files.AddFolder(s->env.documents);
    s->files.AddFolder(u"C:\\Program Files");
    s->files.AddFolder(s->env.programFolder);
    auto dm = std::make_unique<TDM>(s->registry, s->files, s->env);
    // Registry copies of the five profiles, as a registry slot finds them.
    for (int i = 0; i < PROFILE_COUNT; ++i) {
      const ProfileBlock& block = dm->FProfileGroup[i]->Block();
      s->registry.Put(quarn::kHKeyCurrentUser, quarn::kProfileKeyPath, quarn::SlotFileName(i),
                      block);
    }
    s->files.files[Fold(s->env.programFolder + u"\\config.ini")] =
        std::vector<std::uint8_t>({'[', 'O',  't', 'h', 'e', 'r', 'C', 'o', 'n', 'f', 'i', 'g',
                                   ']', '\n', 'N', 'o', 'L', 'o', 'g', 'o', '=', '1', '\n'});
    s->files.writes.clear();
    s->files.attempts.clear();
    s->registry.writes.clear();
    return s;
  }();
  return *baseline;
}

enum Damage : std::uint8_t { kKeep, kPatch, kCut, kReplace, kRemove, kOdd, kExtend, kDamageCount };

// Damages one stored blob; `odd` makes a registry value of another type or a file unreadable.
void DamageBlob(FuzzInput& in, std::vector<std::uint8_t>& bytes, bool& remove, bool& odd) {
  switch (in.U8() % kDamageCount) {
    case kPatch:
      in.Patch(bytes.data(), bytes.size());
      break;
    case kCut:
      bytes.resize(bytes.empty() ? 0 : in.U32() % bytes.size());
      break;
    case kReplace:
      bytes = in.Bytes();
      break;
    case kRemove:
      remove = true;
      break;
    case kOdd:
      odd = true;
      break;
    case kExtend: {
      const auto more = in.Bytes();
      bytes.insert(bytes.end(), more.begin(), more.end());
      break;
    }
    default:
      break;
  }
}

void DamageRegistry(FuzzInput& in, MemoryRegistryStore& registry, std::u16string_view name) {
  const auto id = MemoryRegistryStore::Id(quarn::kHKeyCurrentUser, quarn::kProfileKeyPath, name);
  auto it = registry.values.find(id);
  if (it == registry.values.end()) return;
  bool remove = false, odd = false;
  DamageBlob(in, it->second.bytes, remove, odd);
  if (remove)
    registry.values.erase(it);
  else if (odd)
    it->second.binary = false;
}

void DamageFile(FuzzInput& in, WatchedFileStore& files, const std::u16string key) {
  auto it = files.files.find(key);
  if (it == files.files.end()) return;
  bool remove = false, odd = false;
  DamageBlob(in, it->second, remove, odd);
  if (remove)
    files.files.erase(it);
  else if (odd) {
    files.files.erase(it);
    files.unreadable.insert(key);
  }
}

void CheckIndices(const TDM& dm) {
  QUARN_FUZZ_CHECK(TDM::IsProfileIndexInRange(dm.FProfileIndex));
  QUARN_FUZZ_CHECK(TDM::IsProfileGroupIndexInRange(dm.FProfileGroupIndex));
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    QUARN_FUZZ_CHECK(dm.FProfileGroup[i] != nullptr);
    QUARN_FUZZ_CHECK(dm.FProfileGroup[i]->Block().size() >= PROFILE_INFO_SIZE);
  }
}

// A file name at the end, no control character, and no component that leads
// out of its folder (two or more dots with nothing but spaces after them).
bool IsPlainPath(const std::u16string& path) {
  if (quarn::NamePart(path).empty()) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find_first_of(u"\\/", start);
    const std::u16string part = path.substr(start, end == std::u16string::npos ? end : end - start);
    const std::size_t dots = part.find_first_not_of(u'.');
    if (part.size() >= 2 && part[0] == u'.' && part[1] == u'.' &&
        part.find_first_not_of(u' ', dots == std::u16string::npos ? part.size() : dots) ==
            std::u16string::npos)
      return false;
    for (char16_t c : part)
      if (c < 0x20) return false;
    if (end == std::u16string::npos) return true;
    start = end + 1;
  }
}

// Writes asked for since `from`: never over a file that existed before, and never odd paths.
void CheckNoOverwrite(const WatchedFileStore& files, const std::set<std::u16string>& existing,
                      std::size_t from) {
  for (std::size_t i = from; i < files.attempts.size(); ++i) {
    QUARN_FUZZ_CHECK(existing.count(files.attempts[i]) == 0);
    QUARN_FUZZ_CHECK(IsPlainPath(files.attempts[i]));
  }
}

std::set<std::u16string> ExistingFiles(const WatchedFileStore& files) {
  std::set<std::u16string> existing(files.unreadable.begin(), files.unreadable.end());
  for (const auto& [path, bytes] : files.files) existing.insert(path);
  return existing;
}

// The monitor's host over the data module.
class DataModuleHost : public quarn::testing::FakeHost {
 public:
  DataModuleHost(TDM& dm, quarn::testing::ActionLog& log, quarn::ActionWaiter& clock)
      : FakeHost(log, clock), dm_(dm) {}
  const TMouseProfileInfo& CurrentProfile() const override { return dm_.FCurrentProfileInfo; }
  int CurrentProfileIndex() const override { return dm_.FProfileIndex; }
  void SwitchToNextProfile() override {
    QUARN_FUZZ_CHECK(dm_.SwitchToProfile((dm_.FProfileIndex + 1) % PROFILE_COUNT));
  }
  void SelectProfile(int i) override {
    QUARN_FUZZ_CHECK(TDM::IsProfileIndexInRange(i));
    QUARN_FUZZ_CHECK(dm_.SwitchToProfile(i));
  }
  void OpenProgram(const std::u16string& path) override {
    QUARN_FUZZ_CHECK(!path.empty() && path.size() <= 1024);
  }

 private:
  TDM& dm_;
};

void MonitorUse(TDM& dm) {
  const auto filters = quarn::BuildMouseFilters(dm.FCurrentProfileInfo.ConfigInfo);
  QUARN_FUZZ_CHECK(filters.size() >= 5 && filters.size() <= 7);

  quarn::testing::ActionLog log;
  quarn::fuzz::BoundedWaiter waiter;
  quarn::fuzz::HeldTrackingSink sink;
  DataModuleHost host(dm, log, waiter);
  ButtonActionDispatcher dispatcher(host, sink, waiter);
  waiter.onExhausted = [&dispatcher] { dispatcher.SetAbort(); };
  for (std::uintptr_t index = 0; index <= BUTTON_FUNC_COUNT; ++index) {
    dispatcher.WMButtonAction(index, 1);
    dispatcher.WMButtonAction(index, 0);
  }
  for (std::uintptr_t command = 0; command <= 26; ++command) dispatcher.WMExternalCommand(command);
  dispatcher.SetAbort();
  QUARN_FUZZ_CHECK(!sink.AnythingHeld());
  CheckIndices(dm);
}

enum Op : std::uint8_t {
  kSwitchProfile,
  kSwitchGroup,
  kLoadGroupTable,
  kLoadAll,
  kLoadCurrent,
  kLoadOne,
  kReadWrite,
  kRestoreGroup,
  kRestoreOne,
  kRestoreCurrent,
  kLinkedProgram,
  kMacroList,
  kChangeFile,
  kSaveAll,
  kDamageStore,
  kChanged,
  kOpCount
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  auto s = std::make_unique<Stores>();
  s->registry = Baseline().registry;
  s->files = Baseline().files;

  const std::uint8_t setup = in.U8();
  if (setup & 1) s->registry.unavailable.insert(Fold(quarn::kProfileKeyPath));
  if (setup & 2)
    s->files.folders.erase(Fold(s->env.documents + u"\\" + std::u16string(quarn::kDataFolderName)));
  DamageRegistry(in, s->registry, u"zykProfileSettingGroup.pfd");
  DamageRegistry(in, s->registry, u"zykPROFILE.pfd");
  std::vector<std::u16string> fileKeys;
  for (const auto& [path, bytes] : s->files.files) fileKeys.push_back(path);
  for (const auto& key : fileKeys) DamageFile(in, s->files, key);
  for (int i = 0; i < PROFILE_COUNT; ++i) DamageRegistry(in, s->registry, quarn::SlotFileName(i));

  auto existing = ExistingFiles(s->files);
  auto dm = std::make_unique<TDM>(s->registry, s->files, s->env);
  CheckIndices(*dm);
  QUARN_FUZZ_CHECK(dm->FAllProfileSettingInfo.CurrentProfileIndex == dm->FProfileIndex);
  CheckNoOverwrite(s->files, existing, 0);

  auto record = std::make_unique<TMouseProfileInfo>();
  TMACROKEYINFOLIST macros{};
  while (!in.Empty()) {
    existing = ExistingFiles(s->files);
    const std::size_t attempts = s->files.attempts.size();
    bool loadsOnly = true;
    switch (in.U8() % kOpCount) {
      case kSwitchProfile: {
        const std::int32_t index = in.I32();
        QUARN_FUZZ_CHECK(dm->SwitchToProfile(index) == TDM::IsProfileIndexInRange(index));
        break;
      }
      case kSwitchGroup:
        dm->SwitchToProfileGroup(in.I32());
        break;
      case kLoadGroupTable:
        dm->LoadProfileGroupSettingInfoFromRegistry();
        break;
      case kLoadAll:
        dm->LoadAllProfileInfoFromRegistry();
        break;
      case kLoadCurrent:
        if (in.Bool())
          dm->LoadCurrentProfileInfoFromRegistry();
        else
          dm->LoadCurrentProfileInfoFromFile(in.Text());
        break;
      case kLoadOne:
        dm->LoadProfileInfoFromRegistry(in.I32());
        break;
      case kReadWrite: {
        const std::int32_t index = in.I32() % 7;
        if (dm->ReadProfileInfo(*record, index)) in.Patch(record.get(), sizeof *record);
        QUARN_FUZZ_CHECK(dm->WriteProfileInfo(*record, index) == TDM::IsProfileIndexInRange(index));
        break;
      }
      case kRestoreGroup:
        dm->RestoreProfileGroupToDefault(in.I32());
        break;
      case kRestoreOne:
        dm->RestoreProfileInfoToDefault(in.I32());
        break;
      case kRestoreCurrent:
        dm->RestoreCurrentProfileInfoToDefault();
        break;
      case kLinkedProgram: {
        const int found = dm->GetProfileIndexByLinkedProgramPath(in.Text());
        QUARN_FUZZ_CHECK(found >= -1 && found < PROFILE_COUNT);
        break;
      }
      case kMacroList: {
        std::vector<std::u16string> names;
        dm->GetAllProfilesMacrosList(macros, names);
        QUARN_FUZZ_CHECK(macros.nMacroInfoCount == names.size());
        QUARN_FUZZ_CHECK(names.size() <= static_cast<std::size_t>(MACRO_LIST_CAPACITY));
        break;
      }
      case kChangeFile: {
        const std::u16string path = in.Text();
        if (dm->ChangeCurrentProfileFileNameAndPath(path)) QUARN_FUZZ_CHECK(IsPlainPath(path));
        break;
      }
      case kSaveAll:
        loadsOnly = false;
        dm->SaveBackAllProfileSettingInfo();
        dm->SaveProfileGroupSettingInfoToRegistry();
        dm->SaveBackAllProfileInfoToRegistry();
        if (in.Bool()) dm->SaveCurrentProfileInfoToFile();
        break;
      case kDamageStore: {
        loadsOnly = false;  // the user's own doing
        const std::uint8_t which = in.U8();
        if (which < 0x80)
          DamageRegistry(in, s->registry, quarn::SlotFileName(which % PROFILE_COUNT));
        else if (!s->files.files.empty())
          DamageFile(in, s->files,
                     std::next(s->files.files.begin(), which % s->files.files.size())->first);
        break;
      }
      case kChanged: {
        const std::int32_t index = in.I32();
        dm->SetProfileChanged(index, true);
        QUARN_FUZZ_CHECK(dm->IsProfileChanged(index) == TDM::IsProfileIndexInRange(index));
        break;
      }
    }
    CheckIndices(*dm);
    if (loadsOnly) CheckNoOverwrite(s->files, existing, attempts);
    for (std::size_t i = attempts; i < s->files.attempts.size(); ++i)
      QUARN_FUZZ_CHECK(IsPlainPath(s->files.attempts[i]));
  }
  MonitorUse(*dm);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::FuzzWriter;
  constexpr std::size_t kSlots = offsetof(TProfileSettingGroup, ProfileSettingList);
  auto slot = [](int i, std::size_t field) {
    return kSlots + i * sizeof(TProfileSlotInfo) + field;
  };
  // Damage of the group table, the all-settings record, config.ini and the five
  // profile files (in that path order), then of the five registry copies.
  auto keepAll = [](FuzzWriter& w, int files, int values) {
    for (int i = 0; i < files + values; ++i) w.U8(kKeep);
  };
  std::vector<std::vector<std::uint8_t>> seeds;
  {  // Everything as stored, then every operation once.
    FuzzWriter w;
    w.U8(0).U8(kKeep).U8(kKeep);
    keepAll(w, 6, 5);
    w.U8(kSwitchProfile).I32(3).U8(kSwitchProfile).I32(5).U8(kSwitchGroup).I32(1);
    w.U8(kLoadGroupTable).U8(kLoadAll).U8(kLoadCurrent).U8(1).U8(kLoadOne).I32(-1);
    w.U8(kReadWrite)
        .I32(2)
        .U8(1)
        .PatchValue(
            offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, ButtonCount),
            std::int32_t{-5});
    w.U8(kRestoreGroup).I32(1).U8(kRestoreOne).I32(4).U8(kRestoreCurrent);
    w.U8(kLinkedProgram).Text(u"C:\\game.exe").U8(kMacroList);
    w.U8(kChangeFile)
        .Text(u"C:\\Users\\me\\Documents\\p.pfd")
        .U8(kChangeFile)
        .Text(u"..\\..\\x.pfd");
    w.U8(kSaveAll).U8(1).U8(kChanged).I32(7);
    seeds.push_back(w.Data());
  }
  {  // A group table whose indices and slots are out of range and whose names are paths.
    FuzzWriter w;
    w.U8(0).U8(kPatch).U8(6);
    w.PatchValue(offsetof(TProfileSettingGroup, CurrentProfileGroup), std::int32_t{7});
    w.PatchValue(offsetof(TProfileSettingGroup, ProfileIndexOfProfileGroup), std::int32_t{-3});
    w.PatchText(slot(0, offsetof(TProfileSlotInfo, FileName)), u"..\\..\\evil.pfd");
    w.PatchText(slot(1, offsetof(TProfileSlotInfo, FilePath)), u"C:\\Users\\..\\Windows");
    w.PatchValue(slot(2, offsetof(TProfileSlotInfo, StorageType)), std::uint8_t{STORAGE_REGISTRY});
    w.PatchValue(slot(3, offsetof(TProfileSlotInfo, StorageType)), std::uint8_t{9});
    w.U8(kPatch).U8(1).PatchValue(offsetof(TALLGAMESINFO, CurrentProfileIndex), std::int32_t{99});
    keepAll(w, 6, 5);
    w.U8(kLoadGroupTable).U8(kSwitchGroup).I32(0).U8(kLoadAll);
    seeds.push_back(w.Data());
  }
  {  // Cut, unreadable, replaced and wrongly typed stores; config.ini replaced.
    FuzzWriter w;
    w.U8(0).U8(kCut).U32(100).U8(kOdd);
    w.U8(kReplace).Bytes(quarn::fuzz::AsciiBytes("[OtherConfig]\nNoLogo=$\n[HelpFiles]\nx=y\n"));
    w.U8(kOdd).U8(kCut).U32(60).U8(kReplace).Bytes({1, 2, 3}).U8(kRemove).U8(kExtend).Bytes({9, 9});
    w.U8(kOdd).U8(kCut).U32(10).U8(kRemove).U8(kKeep).U8(kKeep);
    w.U8(kLoadAll)
        .U8(kLoadCurrent)
        .U8(0)
        .Text(u"C:\\Users\\me\\Documents\\QUARN Mouse Driver\\zykProfile2.pfd");
    w.U8(kDamageStore).U8(0x81).U8(kOdd).U8(kLoadAll).U8(kSaveAll).U8(0);
    seeds.push_back(w.Data());
  }
  {  // No registry key, no data folder.
    FuzzWriter w;
    w.U8(3);
    keepAll(w, 8, 5);
    w.U8(kLoadAll).U8(kSaveAll).U8(1);
    seeds.push_back(w.Data());
  }
  {  // Profiles with long macros and held keys on every button.
    FuzzWriter w;
    w.U8(0).U8(kKeep).U8(kKeep).U8(kKeep);
    constexpr std::size_t kButtons =
        offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, ButtonFuncInfo);
    TMACROKEYINFO m{};
    m.MacroList[0].nKeyType = MACROKEY_KEYBOARD;
    m.MacroList[0].nKeyState = 1;
    m.MacroList[0].nKeyValue = 0x11;
    m.MacroListCount = 1000;
    m.nLoopCount = 0xFFFF;
    for (int f = 0; f < 5; ++f) {
      w.U8(kPatch).U8(3);
      w.PatchValue(
          kButtons + f * sizeof(TBUTTONFUNCINFO) + offsetof(TBUTTONFUNCINFO, FunctionKind),
          std::uint8_t{static_cast<std::uint8_t>(f % 2 ? FUNCKIND_MACRO : FUNCKIND_SINGLEKEY)});
      w.PatchValue(kButtons + f * sizeof(TBUTTONFUNCINFO) + offsetof(TBUTTONFUNCINFO, SingleKey),
                   std::uint16_t{0x20});
      w.PatchValue(kButtons + f * sizeof(TBUTTONFUNCINFO) + offsetof(TBUTTONFUNCINFO, MacroKeyInfo),
                   m);
    }
    keepAll(w, 0, 5);
    w.U8(kSwitchProfile).I32(1);
    seeds.push_back(w.Data());
  }
  return seeds;
}
