// TDM, the profile data module: one per program (the global DM), created before
// any window. It holds every profile record in memory, knows where each is
// stored (registry values under HKCU\software\QUARNMouse and profile files in
// the user's documents), loads everything when created, and offers the load,
// save, switch and reset operations both programs use.
//
// A TDM is large (several 124 KB records); create it on the heap.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ini_file.h"
#include "other_config.h"
#include "profile_environment.h"
#include "profile_records.h"
#include "stores.h"
#include "vn_profile.h"

class TDM {
 public:
  TDM(quarn::RegistryStore& registry, quarn::FileStore& files, quarn::ProfileEnvironment& env);
  TDM(const TDM&) = delete;
  TDM& operator=(const TDM&) = delete;

  // Stream components.
  TvnProfile vnProfileAllSettingInfo;
  TvnProfile vnProfileGame1, vnProfileGame2, vnProfileGame3, vnProfileGame4, vnProfileGame5;
  TvnProfile vnProfileSettingGroup;
  TvnProfile vnProfileDefaultGame;
  TvnProfile vnProfileTest;

  TALLGAMESINFO FAllProfileSettingInfo{};
  std::array<TvnProfile*, 6> FProfileGroup{};  // 0..4 the five profiles; 5 stays empty
  std::array<bool, PROFILE_COUNT> FProfileChanged{};
  TProfileSettingGroup FProfileSettingGroup{};
  std::int32_t FProfileGroupIndex = 0;
  std::int32_t FProfileIndex = 0;
  TMouseProfileInfo FCurrentProfileInfo{};
  TOtherConfig FOtherConfig;
  TMouseProfileInfo FDefaultProfileInfo{};
  TMouseProfileInfo FTestProfileInfo{};

  // Loading.
  void LoadAllProfileInfoFromRegistry();
  bool LoadCurrentProfileInfoFromRegistry();
  bool LoadCurrentProfileInfoFromFile(std::u16string_view AFile);
  bool LoadProfileInfoFromRegistry(int AProfileIndex);
  void LoadProfileGroupSettingInfoFromRegistry();

  // Switching and copying.
  bool SwitchToProfile(int AProfileIndex);
  bool SwitchToProfileGroup(int AProfileGroupIndex);
  bool ReadCurrentProfileInfo();
  bool ReadProfileInfo(TMouseProfileInfo& AProfileInfo, int AProfileIndex);
  bool WriteProfileInfo(const TMouseProfileInfo& AProfileInfo, int AProfileIndex);
  bool SaveBackToProfileInfo(const TMouseProfileInfo& AProfileInfo, int AProfileIndex);
  void SaveBackToCurrentProfileInfo();
  bool SetProfileChanged(int AIndex, bool AIsChanged);
  bool IsProfileChanged(int AIndex) const;

  // Saving. Results of the stores are not reported.
  void SaveBackAllProfileSettingInfo();
  void SaveBackAllProfileSettingInfoToRegistry();
  void SaveBackToProfileGroupSettingInfo();
  void SaveProfileGroupSettingInfoToRegistry();
  void SaveCurrentProfileInfoToRegistry();
  void SaveCurrentProfileInfoToFile();
  void SaveCurrentProfileInfoToFile(std::u16string_view AFile);
  void SaveBackAllProfileInfoToRegistry();
  void SaveBackAllProfileInfo();
  void SaveBackAllProfileInfoToFile();
  bool SaveProfileInfoToRegistry(int AProfileIndex);

  // Resetting.
  void RestoreCurrentProfileInfoToDefault();
  void RestoreAllProfileInfoToDefault();
  bool RestoreProfileInfoToDefault(int AProfileIndex);
  bool RestoreProfileGroupToDefault(int AProfileGroupIndex);
  void RestoreProfileSettingGroupToDefault();
  void RestoreToDefaultCPISetting();
  void RestoreToDefaultLightAndReportAdvancedSetting();
  void RestoreToDefaultReportRateSetting();

  // Paths, names and lookups.
  std::u16string GetPersonalDocumentPresetMacroPath();
  // False, and nothing changes, for a name or folder the slot cannot hold.
  bool ChangeCurrentProfileFileNameAndPath(std::u16string_view AProfileFilePath);
  // True when the current slot may take this file as its own: a name and folder
  // the slot can hold, and a name (case ignored) that no other slot and no
  // stored record uses as its registry value, so that no two records share one.
  bool CanCurrentProfileTakeFile(std::u16string_view AProfileFilePath) const;
  int GetProfileIndexByLinkedProgramPath(std::u16string_view ALinkedProgramPath);
  bool GetAllProfilesMacrosList(TMACROKEYINFOLIST& AMacrokeyInfoList,
                                std::vector<std::u16string>& AMacroIndexList);
  void InitTestDefaultValue();

  static bool IsProfileIndexInRange(int AIndex) { return AIndex >= 0 && AIndex < PROFILE_COUNT; }
  static bool IsProfileGroupIndexInRange(int AIndex) {
    return AIndex >= 0 && AIndex < PROFILE_GROUP_COUNT;
  }

  // config.ini as read at creation, for the other readers of its sections.
  const quarn::IniFile& ConfigIni() const { return FConfigIni; }

  // Defaults callbacks of the stream components.
  void vnProfileAllSettingInfoRestoreToDefault(ProfileBlock& AStream);
  void vnProfileGame1RestoreToDefault(ProfileBlock& AStream);
  void vnProfileSettingGroupRestoreToDefault(ProfileBlock& AStream);
  void vnProfileTestRestoreToDefault(ProfileBlock& AStream);

 private:
  std::u16string GetPersonalDocumentDataPath();
  void InitializeProfileData();
  void LoadAllProfileSlots();
  void LoadAllProfileSettingInfo(bool writeFieldFirst);
  void LoadProfileSettingGroup(bool writeZeroFirst);
  void LoadStoredTable(TvnProfile& stream, std::u16string_view valueName, std::size_t size,
                       const void* initial);
  static bool IsValidProfileIndex(int AIndex) { return IsProfileIndexInRange(AIndex); }
  void DefaultSlot(int slot);
  void ReadRecord(const TvnProfile& stream, TMouseProfileInfo& record);
  // After a profile load: at least one whole record, and the never-interpreted
  // OtherConfig bytes zero, so that they are stored as zero too.
  void ProfileLoaded(TvnProfile& stream);
  void WriteRecord(TvnProfile& stream, const TMouseProfileInfo& record);

  quarn::RegistryStore& FRegistry;
  quarn::FileStore& FFiles;
  quarn::ProfileEnvironment& FEnv;
  quarn::IniFile FConfigIni;
  std::unique_ptr<TMouseProfileInfo> FScratch;
};

// The program's one data module; set by the program's start-up before any window.
extern TDM* DM;
