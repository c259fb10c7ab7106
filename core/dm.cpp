#include "dm.h"

#include <algorithm>
#include <cstring>

#include "config_ini.h"
#include "profile_defaults.h"
#include "shared_tables.h"
#include "text_field.h"

TDM* DM = nullptr;

using quarn::StoreStatus;

namespace {

constexpr std::u16string_view kAllSettingValue = u"zykPROFILE.pfd";
constexpr std::u16string_view kSettingGroupValue = u"zykProfileSettingGroup.pfd";
constexpr std::u16string_view kDefaultProfileValue = u"BRELLV7700ProfileDef.pfd";
constexpr std::u16string_view kTestProfileValue = u"BRELLV7700ProfileTest.pfd";
constexpr std::u16string_view kPresetMacroFolder = u"PresetMacros";
constexpr std::u16string_view kPresetMacroFile = u"MacroSet.MSDB";

// Longest name and folder a slot keeps with a terminator after it.
constexpr std::size_t kMaxSlotFileName = 20;
constexpr std::size_t kMaxSlotFolder = 1023;

const std::uint8_t* ZeroRecord() {
  static const std::vector<std::uint8_t> zeros(PROFILE_INFO_SIZE);
  return zeros.data();
}

// A path component that leads out of its folder: ".." and, since Windows
// drops trailing dots and spaces, any other run of two or more dots with
// nothing but spaces after it ("...", ".. "). Two dots inside a name
// ("john..smith", "My..Docs") are an ordinary name.
bool IsParentComponent(std::u16string_view component) {
  const std::size_t dots = component.find_first_not_of(u'.');
  const std::size_t dotCount = dots == std::u16string_view::npos ? component.size() : dots;
  if (dotCount < 2) return false;
  return component.find_first_not_of(u' ', dotCount) == std::u16string_view::npos;
}

// Control characters are in no file or folder name Windows makes; a stored
// path holding one is damaged.
bool HasControlCharacter(std::u16string_view path) {
  for (char16_t c : path)
    if (c < 0x20) return true;
  return false;
}

// A stored name must be a plain file name: not empty, not too long, no path.
bool IsPlainFileName(std::u16string_view name) {
  return !name.empty() && name.size() <= kMaxSlotFileName &&
         name.find_first_of(u"\\/") == std::u16string_view::npos && !IsParentComponent(name) &&
         name != u"." && !HasControlCharacter(name);
}

bool IsUsableFolder(std::u16string_view folder) {
  if (folder.empty() || folder.size() > kMaxSlotFolder || HasControlCharacter(folder)) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = folder.find_first_of(u"\\/", start);
    if (IsParentComponent(
            folder.substr(start, end == std::u16string_view::npos ? end : end - start)))
      return false;
    if (end == std::u16string_view::npos) return true;
    start = end + 1;
  }
}

// A stream holds at least one whole record after every successful load, so
// a short stored record never leaves another record's bytes behind.
void ExtendToRecord(TvnProfile& stream, std::size_t size) {
  if (stream.Size() < static_cast<std::int64_t>(size))
    stream.SetSize(static_cast<std::int64_t>(size));
}

// Runs `edit` on a copy of the record at the start of the block and stores it back.
template <typename Record, typename Edit>
void EditBlock(ProfileBlock& block, Edit edit) {
  if (block.size() < sizeof(Record)) return;
  auto record = std::make_unique<Record>();
  std::memcpy(record.get(), block.data(), sizeof(Record));
  edit(*record);
  std::memcpy(block.data(), record.get(), sizeof(Record));
}

bool IsMissingForDefaults(StoreStatus s) {
  // A value of another type is treated as missing; one that exists but cannot
  // be read is left alone.
  return s == StoreStatus::Missing || s == StoreStatus::WrongType;
}

}  // namespace

TDM::TDM(quarn::RegistryStore& registry, quarn::FileStore& files, quarn::ProfileEnvironment& env)
    : vnProfileAllSettingInfo(registry, files),
      vnProfileGame1(registry, files),
      vnProfileGame2(registry, files),
      vnProfileGame3(registry, files),
      vnProfileGame4(registry, files),
      vnProfileGame5(registry, files),
      vnProfileSettingGroup(registry, files),
      vnProfileDefaultGame(registry, files),
      vnProfileTest(registry, files),
      FRegistry(registry),
      FFiles(files),
      FEnv(env),
      FScratch(std::make_unique<TMouseProfileInfo>()) {
  vnProfileAllSettingInfo.OnRestoreToDefault = [this](ProfileBlock& b) {
    vnProfileAllSettingInfoRestoreToDefault(b);
  };
  for (TvnProfile* p : {&vnProfileGame1, &vnProfileGame2, &vnProfileGame3, &vnProfileGame4,
                        &vnProfileGame5, &vnProfileDefaultGame})
    p->OnRestoreToDefault = [this](ProfileBlock& b) { vnProfileGame1RestoreToDefault(b); };
  vnProfileSettingGroup.OnRestoreToDefault = [this](ProfileBlock& b) {
    vnProfileSettingGroupRestoreToDefault(b);
  };
  vnProfileTest.OnRestoreToDefault = [this](ProfileBlock& b) { vnProfileTestRestoreToDefault(b); };
  InitializeProfileData();
}

// ---- records in and out of streams ----

void TDM::ReadRecord(const TvnProfile& stream, TMouseProfileInfo& record) {
  stream.Read(&record, static_cast<std::int32_t>(sizeof record));
  ClearStoredOtherConfig(record);
}

void TDM::ProfileLoaded(TvnProfile& stream) {
  ExtendToRecord(stream, PROFILE_INFO_SIZE);
  const auto& block = stream.Block();
  const auto other = block.begin() + offsetof(TMouseProfileInfo, OtherConfig);
  if (std::all_of(other, other + OTHER_CONFIG_STORED_SIZE, [](std::uint8_t b) { return b == 0; }))
    return;
  ReadRecord(stream, *FScratch);  // clears them
  stream.Write(FScratch.get(), static_cast<std::int32_t>(PROFILE_INFO_SIZE));
}

void TDM::WriteRecord(TvnProfile& stream, const TMouseProfileInfo& record) {
  const bool clean = std::all_of(std::begin(record.OtherConfig), std::end(record.OtherConfig),
                                 [](std::uint8_t b) { return b == 0; });
  if (clean) {
    stream.Write(&record, static_cast<std::int32_t>(sizeof record));
    return;
  }
  if (&record != FScratch.get()) std::memcpy(FScratch.get(), &record, sizeof record);
  ClearStoredOtherConfig(*FScratch);
  stream.Write(FScratch.get(), static_cast<std::int32_t>(sizeof record));
}

// ---- creation ----

void TDM::InitializeProfileData() {
  FProfileGroupIndex = 0;
  LoadProfileSettingGroup(true);
  LoadAllProfileSettingInfo(true);
  LoadAllProfileSlots();
  DeviceUsageAndPage.UsagePage = 0xFFA0;
  DeviceUsageAndPage.Usage = 0x0001;
  FConfigIni = quarn::LoadConfigIni(FFiles, FEnv.ProgramFolder());
  LoadOtherConfig(FConfigIni, FOtherConfig);
}

// Loads one of the two stored tables; `initial` (when given) is written into the
// stream first. A missing or wrongly typed value gets defaults, stored at once;
// one that exists but cannot be read gets defaults in memory only.
void TDM::LoadStoredTable(TvnProfile& s, std::u16string_view valueName, std::size_t size,
                          const void* initial) {
  s.SetRootKey(quarn::kHKeyCurrentUser);
  s.SetFileName(valueName);
  s.SetKeyPath(quarn::kProfileKeyPath);
  if (initial != nullptr) s.Write(initial, static_cast<std::int32_t>(size));
  const bool loaded = s.LoadStreamFromRegistry();
  ExtendToRecord(s, size);
  if (loaded) return;
  s.RestoreToDefault();
  if (IsMissingForDefaults(s.LastLoadStatus())) s.SaveStreamToRegistry();
}

void TDM::LoadProfileSettingGroup(bool writeZeroFirst) {
  LoadStoredTable(vnProfileSettingGroup, kSettingGroupValue, PROFILE_SETTING_GROUP_SIZE,
                  writeZeroFirst ? ZeroRecord() : nullptr);
  vnProfileSettingGroup.Read(&FProfileSettingGroup, PROFILE_SETTING_GROUP_SIZE);
  if (IsProfileGroupIndexInRange(FProfileSettingGroup.CurrentProfileGroup))
    FProfileGroupIndex = FProfileSettingGroup.CurrentProfileGroup;
}

void TDM::LoadAllProfileSettingInfo(bool writeFieldFirst) {
  LoadStoredTable(vnProfileAllSettingInfo, kAllSettingValue, ALL_GAMES_INFO_SIZE,
                  writeFieldFirst ? &FAllProfileSettingInfo : nullptr);
  vnProfileAllSettingInfo.Read(&FAllProfileSettingInfo, ALL_GAMES_INFO_SIZE);
}

void TDM::DefaultSlot(int slot) {
  TvnProfile& p = *FProfileGroup[slot];
  ExtendToRecord(p, PROFILE_INFO_SIZE);
  p.RestoreToDefault();
  ReadRecord(p, *FScratch);
  quarn::WriteText(FScratch->ProfileHeader.FFileName, p.FileName());
  quarn::SetProfileDefaultLEDColor(slot, *FScratch);
  WriteRecord(p, *FScratch);
}

void TDM::LoadAllProfileSlots() {
  FProfileGroup = {&vnProfileGame1, &vnProfileGame2, &vnProfileGame3,
                   &vnProfileGame4, &vnProfileGame5, nullptr};
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    TvnProfile& p = *FProfileGroup[i];
    const TProfileSlotInfo& slot = FProfileSettingGroup.ProfileSettingList[i];
    const std::u16string name = quarn::ReadText(slot.FileName);
    const std::u16string folder = quarn::ReadText(slot.FilePath);
    const bool inFile = slot.StorageType == STORAGE_FILE;
    // A slot whose name or folder cannot be a profile file of ours is never
    // written anywhere: it gets no name, and its defaults stay in memory.
    const bool valid = IsPlainFileName(name) && (!inFile || IsUsableFolder(folder));

    p.SetRootKey(quarn::kHKeyCurrentUser);
    p.SetKeyPath(quarn::kProfileKeyPath);
    p.SetFileName(valid ? std::u16string_view(name) : std::u16string_view());
    // The data folder is created before the path is set, so that the first
    // start keeps the path of every file slot.
    if (valid && inFile && !FFiles.DirectoryExists(folder)) FFiles.CreateFolder(folder);
    if (valid) p.SetFilePath(folder);
    p.Write(ZeroRecord(), PROFILE_INFO_SIZE);

    if (slot.StorageType == STORAGE_REGISTRY) {
      if (valid && p.LoadStreamFromRegistry())
        ProfileLoaded(p);
      else
        DefaultSlot(i);  // in memory only
    } else if (inFile) {
      if (!valid) {
        DefaultSlot(i);
        continue;
      }
      const std::u16string full = quarn::WithTrailingBackslash(folder) + name;
      if (p.LoadStreamFromFile(full)) {
        ProfileLoaded(p);
      } else if (p.LastLoadStatus() == StoreStatus::Missing) {
        DefaultSlot(i);
        p.SaveStreamToFile(full);
      } else {
        DefaultSlot(i);  // exists but unreadable: never overwritten
      }
    }
    // Any other storage type keeps the zero record.
  }
  if (!SwitchToProfile(FAllProfileSettingInfo.CurrentProfileIndex)) SwitchToProfile(0);
}

// ---- loading ----

void TDM::LoadAllProfileInfoFromRegistry() {
  LoadAllProfileSettingInfo(false);
  LoadAllProfileSlots();
}

bool TDM::LoadCurrentProfileInfoFromRegistry() {
  TvnProfile& p = *FProfileGroup[FProfileIndex];
  const bool ok = p.LoadStreamFromRegistry();
  if (ok) ProfileLoaded(p);
  ReadRecord(p, FCurrentProfileInfo);
  return ok;
}

bool TDM::LoadCurrentProfileInfoFromFile(std::u16string_view AFile) {
  TvnProfile& p = *FProfileGroup[FProfileIndex];
  const bool ok = p.LoadStreamFromFile(AFile);
  if (ok) ProfileLoaded(p);
  ReadRecord(p, FCurrentProfileInfo);
  return ok;
}

bool TDM::LoadProfileInfoFromRegistry(int AProfileIndex) {
  if (!IsValidProfileIndex(AProfileIndex)) return false;
  TvnProfile& p = *FProfileGroup[AProfileIndex];
  if (!p.LoadStreamFromRegistry()) return false;
  ProfileLoaded(p);
  return true;
}

void TDM::LoadProfileGroupSettingInfoFromRegistry() {
  LoadProfileSettingGroup(false);
  const int group = FProfileGroupIndex;
  const int profile = FProfileSettingGroup.ProfileIndexOfProfileGroup[group];
  if (IsValidProfileIndex(profile)) FProfileIndex = profile;
}

// ---- switching and copying ----

bool TDM::SwitchToProfile(int AProfileIndex) {
  if (!IsValidProfileIndex(AProfileIndex) || FProfileGroup[AProfileIndex] == nullptr) return false;
  FProfileIndex = AProfileIndex;
  ReadRecord(*FProfileGroup[AProfileIndex], FCurrentProfileInfo);
  FAllProfileSettingInfo.CurrentProfileIndex = AProfileIndex;
  return true;
}

bool TDM::SwitchToProfileGroup(int AProfileGroupIndex) {
  if (!IsProfileGroupIndexInRange(AProfileGroupIndex)) return false;
  const int profile = FProfileSettingGroup.ProfileIndexOfProfileGroup[AProfileGroupIndex];
  if (!IsValidProfileIndex(profile)) return false;
  FProfileSettingGroup.CurrentProfileGroup = AProfileGroupIndex;
  FProfileGroupIndex = AProfileGroupIndex;
  return SwitchToProfile(profile);
}

bool TDM::ReadCurrentProfileInfo() {
  ReadRecord(*FProfileGroup[FProfileIndex], FCurrentProfileInfo);
  return true;
}

bool TDM::ReadProfileInfo(TMouseProfileInfo& AProfileInfo, int AProfileIndex) {
  if (!IsValidProfileIndex(AProfileIndex)) return false;
  ReadRecord(*FProfileGroup[AProfileIndex], AProfileInfo);
  return true;
}

bool TDM::WriteProfileInfo(const TMouseProfileInfo& AProfileInfo, int AProfileIndex) {
  if (!IsValidProfileIndex(AProfileIndex)) return false;
  WriteRecord(*FProfileGroup[AProfileIndex], AProfileInfo);
  if (AProfileIndex == FProfileIndex) ReadCurrentProfileInfo();
  SetProfileChanged(AProfileIndex, true);
  return true;
}

bool TDM::SaveBackToProfileInfo(const TMouseProfileInfo& AProfileInfo, int AProfileIndex) {
  if (!IsValidProfileIndex(AProfileIndex)) return false;
  WriteRecord(*FProfileGroup[AProfileIndex], AProfileInfo);
  return true;
}

void TDM::SaveBackToCurrentProfileInfo() {
  WriteRecord(*FProfileGroup[FProfileIndex], FCurrentProfileInfo);
  SetProfileChanged(FProfileIndex, true);
}

bool TDM::SetProfileChanged(int AIndex, bool AIsChanged) {
  if (!IsValidProfileIndex(AIndex)) return false;
  FProfileChanged[AIndex] = AIsChanged;
  return AIsChanged;
}

bool TDM::IsProfileChanged(int AIndex) const {
  return IsValidProfileIndex(AIndex) && FProfileChanged[AIndex];
}

// ---- saving ----

void TDM::SaveBackAllProfileSettingInfo() {
  FAllProfileSettingInfo.CurrentProfileIndex = FProfileIndex;
  vnProfileAllSettingInfo.Write(&FAllProfileSettingInfo, ALL_GAMES_INFO_SIZE);
  vnProfileAllSettingInfo.SaveStreamToRegistry();
}

void TDM::SaveBackAllProfileSettingInfoToRegistry() {
  vnProfileAllSettingInfo.SaveStreamToRegistry();
}

void TDM::SaveBackToProfileGroupSettingInfo() {
  vnProfileSettingGroup.Write(&FProfileSettingGroup, PROFILE_SETTING_GROUP_SIZE);
}

void TDM::SaveProfileGroupSettingInfoToRegistry() {
  SaveBackToProfileGroupSettingInfo();
  vnProfileSettingGroup.SaveStreamToRegistry();
}

void TDM::SaveCurrentProfileInfoToRegistry() {
  SaveBackToCurrentProfileInfo();
  FProfileGroup[FProfileIndex]->SaveStreamToRegistry();
}

void TDM::SaveCurrentProfileInfoToFile() {
  FProfileGroup[FProfileIndex]->SaveStreamToFile();
}

void TDM::SaveCurrentProfileInfoToFile(std::u16string_view AFile) {
  FProfileGroup[FProfileIndex]->SaveStreamToFile(AFile);
}

void TDM::SaveBackAllProfileInfoToRegistry() {
  for (int i = 0; i < PROFILE_COUNT; ++i) FProfileGroup[i]->SaveStreamToRegistry();
}

void TDM::SaveBackAllProfileInfo() {
  SaveBackAllProfileInfoToRegistry();
}

void TDM::SaveBackAllProfileInfoToFile() {
  for (int i = 0; i < PROFILE_COUNT; ++i) FProfileGroup[i]->SaveStreamToFile();
}

bool TDM::SaveProfileInfoToRegistry(int AProfileIndex) {
  if (!IsValidProfileIndex(AProfileIndex)) return false;
  FProfileGroup[AProfileIndex]->SaveStreamToRegistry();
  return true;
}

// ---- resetting ----

void TDM::RestoreCurrentProfileInfoToDefault() {
  TvnProfile& p = *FProfileGroup[FProfileIndex];
  ExtendToRecord(p, PROFILE_INFO_SIZE);
  p.RestoreToDefault();
  ReadRecord(p, FCurrentProfileInfo);
  quarn::SetProfileDefaultLEDColor(FProfileIndex, FCurrentProfileInfo);
  WriteRecord(p, FCurrentProfileInfo);
  SetProfileChanged(FProfileIndex, true);
}

void TDM::RestoreAllProfileInfoToDefault() {
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    ExtendToRecord(*FProfileGroup[i], PROFILE_INFO_SIZE);
    FProfileGroup[i]->RestoreToDefault();
    SetProfileChanged(i, true);
  }
  ReadRecord(*FProfileGroup[FProfileIndex], FCurrentProfileInfo);
}

bool TDM::RestoreProfileInfoToDefault(int AProfileIndex) {
  if (!IsValidProfileIndex(AProfileIndex)) return false;
  TvnProfile& p = *FProfileGroup[AProfileIndex];
  ExtendToRecord(p, PROFILE_INFO_SIZE);
  p.RestoreToDefault();
  ReadRecord(p, *FScratch);
  quarn::SetProfileDefaultLEDColor(AProfileIndex, *FScratch);
  WriteRecord(p, *FScratch);
  SetProfileChanged(AProfileIndex, true);
  return true;
}

bool TDM::RestoreProfileGroupToDefault(int AProfileGroupIndex) {
  if (!IsProfileGroupIndexInRange(AProfileGroupIndex)) return false;
  const int profile = FProfileSettingGroup.ProfileIndexOfProfileGroup[AProfileGroupIndex];
  if (!IsValidProfileIndex(profile)) return false;
  if (profile == FProfileIndex) {
    RestoreCurrentProfileInfoToDefault();
  } else {
    ExtendToRecord(*FProfileGroup[profile], PROFILE_INFO_SIZE);
    FProfileGroup[profile]->RestoreToDefault();
  }
  return true;
}

void TDM::RestoreProfileSettingGroupToDefault() {
  ExtendToRecord(vnProfileSettingGroup, PROFILE_SETTING_GROUP_SIZE);
  vnProfileSettingGroup.RestoreToDefault();
  vnProfileSettingGroup.SaveStreamToRegistry();
}

void TDM::RestoreToDefaultCPISetting() {
  quarn::RestoreCPIDefaults(FCurrentProfileInfo);
}

void TDM::RestoreToDefaultLightAndReportAdvancedSetting() {
  quarn::RestoreLightAndReportAdvancedDefaults(FCurrentProfileInfo);
}

void TDM::RestoreToDefaultReportRateSetting() {
  quarn::RestoreReportRateDefaults(FCurrentProfileInfo);
}

// ---- defaults callbacks ----

void TDM::vnProfileAllSettingInfoRestoreToDefault(ProfileBlock& AStream) {
  const std::uint16_t lang = FEnv.SystemDefaultLangID();
  EditBlock<TALLGAMESINFO>(AStream,
                           [lang](TALLGAMESINFO& a) { quarn::RestoreAllSettingDefaults(a, lang); });
}

void TDM::vnProfileGame1RestoreToDefault(ProfileBlock& AStream) {
  EditBlock<TMouseProfileInfo>(AStream,
                               [](TMouseProfileInfo& p) { quarn::RestoreProfileDefaults(p); });
}

void TDM::vnProfileSettingGroupRestoreToDefault(ProfileBlock& AStream) {
  const std::u16string data = GetPersonalDocumentDataPath();
  EditBlock<TProfileSettingGroup>(
      AStream, [&data](TProfileSettingGroup& g) { quarn::RestoreSettingGroupDefaults(g, data); });
}

void TDM::vnProfileTestRestoreToDefault(ProfileBlock& AStream) {
  EditBlock<TMouseProfileInfo>(AStream,
                               [](TMouseProfileInfo& p) { quarn::RestoreTestProfileDefaults(p); });
}

void TDM::InitTestDefaultValue() {
  struct Target {
    TvnProfile& stream;
    std::u16string_view name;
    TMouseProfileInfo& record;
  };
  for (Target t : {Target{vnProfileTest, kTestProfileValue, FTestProfileInfo},
                   Target{vnProfileDefaultGame, kDefaultProfileValue, FDefaultProfileInfo}}) {
    t.stream.SetRootKey(quarn::kHKeyCurrentUser);
    t.stream.SetFileName(t.name);
    t.stream.SetKeyPath(quarn::kProfileKeyPath);
    WriteRecord(t.stream, t.record);
    t.stream.RestoreToDefault();
    ReadRecord(t.stream, t.record);
  }
}

// ---- paths, names and lookups ----

std::u16string TDM::GetPersonalDocumentDataPath() {
  const std::u16string docs = FEnv.DocumentsFolder();
  if (docs.empty()) return {};
  return quarn::WithTrailingBackslash(docs) + std::u16string(quarn::kDataFolderName);
}

std::u16string TDM::GetPersonalDocumentPresetMacroPath() {
  const std::u16string data = GetPersonalDocumentDataPath();
  if (data.empty()) return {};
  const std::u16string preset = data + u"\\" + std::u16string(kPresetMacroFolder);
  // A folder that cannot be created is not a reason to stop.
  if (!FFiles.DirectoryExists(data)) FFiles.CreateFolder(data);
  if (!FFiles.DirectoryExists(preset)) FFiles.CreateFolder(preset);
  return preset + u"\\" + std::u16string(kPresetMacroFile);
}

bool TDM::ChangeCurrentProfileFileNameAndPath(std::u16string_view AProfileFilePath) {
  const std::u16string_view name = quarn::NamePart(AProfileFilePath);
  const std::u16string_view folder = quarn::FolderPart(AProfileFilePath);
  if (!IsPlainFileName(name) || !IsUsableFolder(folder)) return false;
  TvnProfile& p = *FProfileGroup[FProfileIndex];
  p.SetFileName(name);
  p.SetFilePath(folder);
  TProfileSlotInfo& slot = FProfileSettingGroup.ProfileSettingList[FProfileIndex];
  quarn::WriteText(slot.FileName, name);
  quarn::WriteText(slot.FilePath, folder);
  quarn::WriteText(FCurrentProfileInfo.ProfileHeader.FFileName, name);
  return true;
}

bool TDM::CanCurrentProfileTakeFile(std::u16string_view AProfileFilePath) const {
  const std::u16string_view name = quarn::NamePart(AProfileFilePath);
  if (!IsPlainFileName(name) || !IsUsableFolder(quarn::FolderPart(AProfileFilePath))) return false;
  for (std::u16string_view stored :
       {kAllSettingValue, kSettingGroupValue, kDefaultProfileValue, kTestProfileValue})
    if (quarn::EqualsIgnoreCase(name, stored)) return false;
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    if (i == FProfileIndex) continue;
    const TProfileSlotInfo& slot = FProfileSettingGroup.ProfileSettingList[i];
    if (quarn::EqualsIgnoreCase(name, quarn::ReadText(slot.FileName))) return false;
    if (FProfileGroup[i] != nullptr && quarn::EqualsIgnoreCase(name, FProfileGroup[i]->FileName()))
      return false;
  }
  return true;
}

int TDM::GetProfileIndexByLinkedProgramPath(std::u16string_view ALinkedProgramPath) {
  constexpr std::size_t offset =
      offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, ApplicationList);
  for (int i = 0; i < PROFILE_COUNT; ++i) {
    const ProfileBlock& block = FProfileGroup[i]->Block();
    char16_t entry[APPLICATION_PATH_LENGTH] = {};
    if (block.size() >= offset + sizeof entry)
      std::memcpy(entry, block.data() + offset, sizeof entry);
    if (quarn::EqualsIgnoreCase(quarn::ReadText(entry), ALinkedProgramPath)) return i;
  }
  return -1;
}

bool TDM::GetAllProfilesMacrosList(TMACROKEYINFOLIST& AMacrokeyInfoList,
                                   std::vector<std::u16string>& AMacroIndexList) {
  AMacroIndexList.clear();
  int j = 0;
  for (int i = 0; i < PROFILE_COUNT && j < MACRO_LIST_CAPACITY; ++i) {
    ReadRecord(*FProfileGroup[i], *FScratch);
    const TMOUSECONFIGINFO& c = FScratch->ConfigInfo;
    const int count = std::clamp<std::int32_t>(c.ButtonCount, 0, BUTTON_FUNC_COUNT);
    for (int b = 0; b < count && j < MACRO_LIST_CAPACITY; ++b) {
      const TBUTTONFUNCINFO& e = c.ButtonFuncInfo[b];
      if (e.FunctionKind != FUNCKIND_MACRO) continue;
      std::u16string key = quarn::ReadText(e.MacroSetName) + u"_" + quarn::ReadText(e.MacroName);
      const bool known =
          std::any_of(AMacroIndexList.begin(), AMacroIndexList.end(),
                      [&](const std::u16string& k) { return quarn::EqualsIgnoreCase(k, key); });
      if (known) continue;
      AMacroIndexList.push_back(std::move(key));
      AMacrokeyInfoList.MacroInfos[j] = e.MacroKeyInfo;
      AMacrokeyInfoList.MacroInfos[j].nMacroIndex = static_cast<std::uint16_t>(j);
      ++j;
    }
  }
  AMacrokeyInfoList.nMacroInfoCount = static_cast<std::uint16_t>(j);
  return true;
}
