#include "profile_file_commands.h"

#include <cstring>
#include <memory>

namespace quarn {

bool ReadProfileFile(FileStore& files, std::u16string_view path,
                     std::vector<std::uint8_t>& record) {
  record.clear();
  if (path.empty()) return false;
  std::vector<std::uint8_t> bytes;
  if (files.ReadWholeFile(path, bytes) != StoreStatus::Ok) return false;
  if (bytes.size() < PROFILE_INFO_SIZE) return false;
  std::int32_t version = 0;
  std::memcpy(&version, bytes.data() + offsetof(TProfileHeader, FFileVersion), sizeof version);
  if (version != kProfileFileVersion) return false;
  bytes.resize(PROFILE_INFO_SIZE);  // a longer file holds nothing the record has
  record = std::move(bytes);
  return true;
}

// Everything the commands may change in memory, to put back on failure.
struct ProfileFileCommands::Snapshot {
  ProfileBlock slotBlock;
  std::u16string slotName;
  std::u16string slotFolder;
  bool slotChanged = false;
  std::unique_ptr<TMouseProfileInfo> current = std::make_unique<TMouseProfileInfo>();
  std::unique_ptr<TProfileSettingGroup> group = std::make_unique<TProfileSettingGroup>();
  ProfileBlock groupBlock;
};

ProfileFileCommands::ProfileFileCommands(TDM& dm, FileStore& files, FileDialogs& dialogs,
                                         MessageBoxes& messages)
    : dm_(dm), files_(files), dialogs_(dialogs), messages_(messages) {}

ProfileFileCommands::Snapshot ProfileFileCommands::Take() const {
  Snapshot s;
  const TvnProfile& p = CurrentStream();
  s.slotBlock = p.Block();
  s.slotName = p.FileName();
  s.slotFolder = p.FilePath();
  s.slotChanged = dm_.IsProfileChanged(dm_.FProfileIndex);
  std::memcpy(s.current.get(), &dm_.FCurrentProfileInfo, sizeof(TMouseProfileInfo));
  std::memcpy(s.group.get(), &dm_.FProfileSettingGroup, sizeof(TProfileSettingGroup));
  s.groupBlock = dm_.vnProfileSettingGroup.Block();
  return s;
}

void ProfileFileCommands::Restore(const Snapshot& s, bool storesWritten) {
  TvnProfile& p = CurrentStream();
  const std::u16string newName = p.FileName();
  p.SetSize(static_cast<std::int64_t>(s.slotBlock.size()));
  p.Write(s.slotBlock.data(), static_cast<std::int32_t>(s.slotBlock.size()));
  std::memcpy(&dm_.FCurrentProfileInfo, s.current.get(), sizeof(TMouseProfileInfo));
  std::memcpy(&dm_.FProfileSettingGroup, s.group.get(), sizeof(TProfileSettingGroup));
  TvnProfile& g = dm_.vnProfileSettingGroup;
  g.SetSize(static_cast<std::int64_t>(s.groupBlock.size()));
  g.Write(s.groupBlock.data(), static_cast<std::int32_t>(s.groupBlock.size()));
  dm_.SetProfileChanged(dm_.FProfileIndex, s.slotChanged);
  if (storesWritten) {
    // Some of the stores may hold the new values: put the old ones back where
    // they were (a value under a new name is left; no record reads it).
    p.SetFileName(s.slotName);
    if (newName == s.slotName) p.SaveStreamToRegistry();
    g.SaveStreamToRegistry();
  }
  p.SetFileName(s.slotName);
  p.SetFilePath(s.slotFolder);
}

bool ProfileFileCommands::StoreCurrentProfileAndGroup() {
  dm_.SaveBackToCurrentProfileInfo();
  bool ok = CurrentStream().SaveStreamToRegistry();
  dm_.SaveBackToProfileGroupSettingInfo();
  ok = dm_.vnProfileSettingGroup.SaveStreamToRegistry() && ok;
  return ok;
}

bool ProfileFileCommands::CreateNewProfileFile(std::u16string_view AInitialDir) {
  FileDialogRequest request{FileDialogKind::Save, std::u16string(kSaveFilter),
                            std::u16string(kProfileExt), std::u16string(AInitialDir)};
  std::u16string file;
  if (!dialogs_.Run(request, file) || file.empty()) return false;
  // Refused before anything changes: the slot could not keep the name, or its
  // records would be stored over another record's.
  if (!dm_.CanCurrentProfileTakeFile(file)) return false;

  const Snapshot before = Take();
  dm_.RestoreCurrentProfileInfoToDefault();
  // After the restore, so that the new profile carries the new file's name.
  if (!dm_.ChangeCurrentProfileFileNameAndPath(file)) {
    Restore(before, false);
    return false;
  }
  dm_.SaveBackToCurrentProfileInfo();
  if (!CurrentStream().SaveStreamToFile(file)) {
    Restore(before, false);
    messages_.ShowMessage(std::u16string(kNoPermissionMessage));
    return false;
  }
  if (!StoreCurrentProfileAndGroup()) {
    Restore(before, true);
    return false;
  }
  return true;
}

bool ProfileFileCommands::LoadChecked(const std::vector<std::uint8_t>& record,
                                      std::u16string_view file, bool takeFile) {
  const Snapshot before = Take();
  TvnProfile& p = CurrentStream();
  p.Write(record.data(), static_cast<std::int32_t>(record.size()));
  dm_.ReadCurrentProfileInfo();
  if (takeFile && !dm_.ChangeCurrentProfileFileNameAndPath(file)) {
    Restore(before, false);
    return false;
  }
  if (!StoreCurrentProfileAndGroup()) {
    Restore(before, true);
    return false;
  }
  return true;
}

bool ProfileFileCommands::LoadProfileFileWithDialog(std::u16string_view AInitialDir) {
  FileDialogRequest request{FileDialogKind::Open, std::u16string(kOpenFilter), std::u16string(),
                            WithTrailingBackslash(AInitialDir)};
  std::u16string file;
  if (!dialogs_.Run(request, file) || file.empty()) return false;
  if (!dm_.CanCurrentProfileTakeFile(file)) return false;
  std::vector<std::uint8_t> record;
  if (!ReadProfileFile(files_, file, record)) return false;
  return LoadChecked(record, file, true);
}

bool ProfileFileCommands::LoadProfileFile(std::u16string_view AFile) {
  std::vector<std::uint8_t> record;
  if (AFile.empty() || !ReadProfileFile(files_, AFile, record)) return false;
  return LoadChecked(record, AFile, false);
}

bool ProfileFileCommands::SaveProfileFileAs(std::u16string_view AInitialDir) {
  FileDialogRequest request{FileDialogKind::Save, std::u16string(kSaveFilter),
                            std::u16string(kProfileExt), WithTrailingBackslash(AInitialDir)};
  std::u16string file;
  if (!dialogs_.Run(request, file) || file.empty()) return false;
  // The file is replaced atomically: when the folder takes no file, nothing is written.
  if (!CurrentStream().SaveStreamToFile(file)) {
    messages_.ShowMessage(std::u16string(kNoPermissionMessage));
    return false;
  }
  return true;
}

bool ProfileFileCommands::RunMenuItem(int itemId, std::u16string_view programFolder,
                                      std::u16string_view profilePath) {
  switch (itemId) {
    case kDefaultProfile:
      return LoadProfileFile(WithTrailingBackslash(programFolder) +
                             std::u16string(kPresetProfileFile));
    case kLoadFromFile:
      return LoadProfileFileWithDialog(profilePath);
    case kSaveToFile:
      SaveProfileFileAs(profilePath);
      return false;
    default:
      return false;
  }
}

}  // namespace quarn
