#include "vn_profile.h"

#include <algorithm>
#include <cstring>

using quarn::StoreStatus;

TvnProfile::TvnProfile(quarn::RegistryStore& registry, quarn::FileStore& files)
    : FRegistry(registry), FFiles(files) {}

void TvnProfile::SetFilePath(std::u16string_view value) {
  if (value == FFilePath) return;
  if (value.empty() || !FFiles.DirectoryExists(value)) return;
  FFilePath = quarn::WithTrailingBackslash(value);
}

void TvnProfile::SetSize(std::int64_t value) {
  if (value == FSize || value < 0 || static_cast<std::uint64_t>(value) > quarn::kMaxStoredBlobSize)
    return;
  FSize = value;
  FMemoryStream.resize(static_cast<std::size_t>(value));
}

std::int32_t TvnProfile::Write(const void* Buffer, std::int32_t Count) {
  if (Count <= 0 || Buffer == nullptr) {
    FSize = static_cast<std::int64_t>(FMemoryStream.size());
    return 0;
  }
  auto n = static_cast<std::size_t>(Count);
  if (FMemoryStream.size() < n) FMemoryStream.resize(n);
  std::memcpy(FMemoryStream.data(), Buffer, n);
  FSize = static_cast<std::int64_t>(FMemoryStream.size());
  return Count;
}

std::int32_t TvnProfile::Read(void* Buffer, std::int32_t Count) const {
  if (Count <= 0 || Buffer == nullptr) return 0;
  auto n = std::min(static_cast<std::size_t>(Count), FMemoryStream.size());
  if (n > 0) std::memcpy(Buffer, FMemoryStream.data(), n);
  return static_cast<std::int32_t>(n);
}

bool TvnProfile::Proceed(const TvnProfileEvent& before) {
  bool bContinue = true;
  if (before) before(FMemoryStream, bContinue);
  return bContinue;
}

bool TvnProfile::RegistryTargetValid() const {
  return (FRootKey == quarn::kHKeyCurrentUser || FRootKey == quarn::kHKeyLocalMachine) &&
         !FKeyPath.empty() && !FFileName.empty();
}

bool TvnProfile::LoadStreamFromRegistry() {
  FLastLoadStatus = StoreStatus::Missing;
  if (!Proceed(OnBeforeLoadFromRegistry)) return false;
  if (!RegistryTargetValid()) return false;
  ProfileBlock data;
  FLastLoadStatus = FRegistry.ReadBinary(FRootKey, FKeyPath, FFileName, data);
  if (FLastLoadStatus != StoreStatus::Ok) return false;
  FMemoryStream = std::move(data);
  FSize = static_cast<std::int64_t>(FMemoryStream.size());
  if (OnAfterLoadFromRegistry) OnAfterLoadFromRegistry(FMemoryStream);
  return true;
}

bool TvnProfile::SaveStreamToRegistry() {
  if (!Proceed(OnBeforeSaveToRegistry)) return false;
  if (!RegistryTargetValid()) return false;
  if (!FRegistry.WriteBinary(FRootKey, FKeyPath, FFileName, FMemoryStream.data(),
                             FMemoryStream.size()))
    return false;
  if (OnAfterSaveToRegistry) OnAfterSaveToRegistry(FMemoryStream);
  return true;
}

bool TvnProfile::LoadFile(std::u16string_view path) {
  ProfileBlock data;
  FLastLoadStatus = FFiles.ReadWholeFile(path, data);
  if (FLastLoadStatus != StoreStatus::Ok) return false;
  FMemoryStream = std::move(data);
  FSize = static_cast<std::int64_t>(FMemoryStream.size());
  if (OnAfterLoadFromFile) OnAfterLoadFromFile(FMemoryStream);
  return true;
}

bool TvnProfile::SaveFile(std::u16string_view path) {
  if (!FFiles.WriteWholeFile(path, FMemoryStream.data(), FMemoryStream.size())) return false;
  if (OnAfterSaveToFile) OnAfterSaveToFile(FMemoryStream);
  return true;
}

bool TvnProfile::LoadStreamFromFile() {
  FLastLoadStatus = StoreStatus::Missing;
  if (!Proceed(OnBeforeLoadFromFile)) return false;
  if (FFilePath.empty() || FFileName.empty()) return false;
  FFilePath = quarn::WithTrailingBackslash(FFilePath);
  return LoadFile(FFilePath + FFileName);
}

bool TvnProfile::LoadStreamFromFile(std::u16string_view strFilewithpath) {
  FLastLoadStatus = StoreStatus::Missing;
  if (!FFiles.FileExists(strFilewithpath)) return false;
  if (!Proceed(OnBeforeLoadFromFile)) return false;
  return LoadFile(strFilewithpath);
}

bool TvnProfile::SaveStreamToFile() {
  if (!Proceed(OnBeforeSaveToFile)) return false;
  if (FFilePath.empty() || FFileName.empty()) return false;
  FFilePath = quarn::WithTrailingBackslash(FFilePath);
  return SaveFile(FFilePath + FFileName);
}

bool TvnProfile::EnsureFolderOf(std::u16string_view path) {
  auto folder = quarn::FolderPart(path);
  if (folder.empty()) return false;
  return FFiles.DirectoryExists(folder) || FFiles.CreateFolder(folder);
}

bool TvnProfile::SaveStreamToFile(std::u16string_view strFileWithPath) {
  if (!EnsureFolderOf(strFileWithPath)) return false;
  if (!Proceed(OnBeforeSaveToFile)) return false;
  return SaveFile(strFileWithPath);
}

bool TvnProfile::PreSaveStreamToFile(std::u16string_view strFileWithPath) {
  if (!EnsureFolderOf(strFileWithPath)) return false;
  FFilePath = std::u16string(quarn::FolderPart(strFileWithPath));
  FFileName = std::u16string(quarn::NamePart(strFileWithPath));
  return true;
}

void TvnProfile::RestoreToDefault() {
  if (OnRestoreToDefault) OnRestoreToDefault(FMemoryStream);
}
