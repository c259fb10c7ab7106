// TvnProfile holds one stored record as a block of bytes and moves it between
// memory, a REG_BINARY registry value and a file. It knows nothing of the
// record's layout; its owner writes and reads the record and supplies defaults.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "stores.h"

using ProfileBlock = std::vector<std::uint8_t>;

using TvnProfileOnRestoreToDefault = std::function<void(ProfileBlock& AStream)>;
using TvnProfileEvent = std::function<void(ProfileBlock& AStream, bool& bContinue)>;
using TvnProfileEvent2 = std::function<void(ProfileBlock& AStream)>;

class TvnProfile {
 public:
  TvnProfile(quarn::RegistryStore& registry, quarn::FileStore& files);
  TvnProfile(const TvnProfile&) = delete;
  TvnProfile& operator=(const TvnProfile&) = delete;

  quarn::RegRoot RootKey() const { return FRootKey; }
  void SetRootKey(quarn::RegRoot value) { FRootKey = value; }
  const std::u16string& KeyPath() const { return FKeyPath; }
  void SetKeyPath(std::u16string_view value) { FKeyPath = value; }
  const std::u16string& FileName() const { return FFileName; }
  void SetFileName(std::u16string_view value) { FFileName = value; }
  const std::u16string& FilePath() const { return FFilePath; }
  // Ignored unless the value names an existing folder; kept with a trailing backslash.
  void SetFilePath(std::u16string_view value);
  std::int64_t Size() const { return FSize; }
  // Resizes the block (new bytes zero) when the value differs from Size.
  void SetSize(std::int64_t value);

  const ProfileBlock& Block() const { return FMemoryStream; }

  // Copies Count bytes to the start of the block; the block never shrinks.
  std::int32_t Write(const void* Buffer, std::int32_t Count);
  // Copies up to Count bytes from the start of the block; the rest of Buffer is left.
  std::int32_t Read(void* Buffer, std::int32_t Count) const;

  bool LoadStreamFromRegistry();
  bool SaveStreamToRegistry();
  bool LoadStreamFromFile();
  bool LoadStreamFromFile(std::u16string_view strFilewithpath);
  bool SaveStreamToFile();
  bool SaveStreamToFile(std::u16string_view strFileWithPath);
  bool PreSaveStreamToFile(std::u16string_view strFileWithPath);
  void RestoreToDefault();

  // What the last load found: Ok after a load, Missing when there was nothing
  // to load, Unreadable/TooLarge when something exists that could not be read.
  // Lets an owner tell a missing file from one it must not overwrite.
  quarn::StoreStatus LastLoadStatus() const { return FLastLoadStatus; }

  TvnProfileOnRestoreToDefault OnRestoreToDefault;
  TvnProfileEvent OnBeforeSaveToRegistry;
  TvnProfileEvent OnBeforeSaveToFile;
  TvnProfileEvent OnBeforeLoadFromRegistry;
  TvnProfileEvent OnBeforeLoadFromFile;
  TvnProfileEvent2 OnAfterSaveToRegistry;
  TvnProfileEvent2 OnAfterSaveToFile;
  TvnProfileEvent2 OnAfterLoadFromRegistry;
  TvnProfileEvent2 OnAfterLoadFromFile;

 private:
  bool Proceed(const TvnProfileEvent& before);
  bool RegistryTargetValid() const;
  bool LoadFile(std::u16string_view path);
  bool SaveFile(std::u16string_view path);
  bool EnsureFolderOf(std::u16string_view path);

  quarn::RegistryStore& FRegistry;
  quarn::FileStore& FFiles;
  ProfileBlock FMemoryStream;
  quarn::RegRoot FRootKey = 0;
  std::u16string FKeyPath;
  std::u16string FFileName;
  std::u16string FFilePath;
  std::int64_t FSize = 0;
  quarn::StoreStatus FLastLoadStatus = quarn::StoreStatus::Missing;
};
