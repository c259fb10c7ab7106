// The data module over Wine's real registry, documents folder and files.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "data_module.h"
#include "profile_defaults.h"
#include "text_field.h"
#include "wide.h"

namespace {

std::wstring DataFolder() {
  wchar_t docs[MAX_PATH] = {};
  EXPECT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, docs)));
  return std::wstring(docs) + L"\\QUARN Mouse Driver";
}

std::vector<std::uint8_t> ReadValue(const wchar_t* name) {
  HKEY key;
  std::vector<std::uint8_t> out;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"software\\QUARNMouse", 0, KEY_QUERY_VALUE, &key)) return out;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY) {
    out.resize(size);
    RegQueryValueExW(key, name, nullptr, &type, out.data(), &size);
  }
  RegCloseKey(key);
  return out;
}

std::vector<std::uint8_t> ReadFile(const std::wstring& path) {
  std::vector<std::uint8_t> out;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return out;
  LARGE_INTEGER size;
  GetFileSizeEx(h, &size);
  out.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  ::ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
  CloseHandle(h);
  out.resize(got);
  return out;
}

void RemoveStoredProfiles() {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\QUARNMouse");
  const std::wstring data = DataFolder();
  for (int i = 0; i < 5; ++i) DeleteFileW(quarn::ToWide(quarn::FromWide(data) + u"\\" + quarn::SlotFileName(i)).c_str());
  RemoveDirectoryW((data + L"\\PresetMacros").c_str());
  RemoveDirectoryW(data.c_str());
}

TEST(WinDataModule, FirstStartStoresEverythingAndSecondStartReadsItBack) {
  RemoveStoredProfiles();
  ASSERT_EQ(GetFileAttributesW(DataFolder().c_str()), INVALID_FILE_ATTRIBUTES);
  std::vector<std::vector<std::uint8_t>> files(5);
  std::vector<std::uint8_t> group, all, current;
  {
    quarn::DataModuleHost host;
    ASSERT_EQ(DM, &host.dm());
    group = ReadValue(L"zykProfileSettingGroup.pfd");
    all = ReadValue(L"zykPROFILE.pfd");
    EXPECT_EQ(group.size(), 30964u);
    EXPECT_EQ(all.size(), 30960u);
    for (int i = 0; i < 5; ++i) {
      files[i] = ReadFile(DataFolder() + L"\\" + quarn::ToWide(quarn::SlotFileName(i)));
      EXPECT_EQ(files[i].size(), 127108u) << i;
      EXPECT_TRUE(ReadValue(quarn::ToWide(quarn::SlotFileName(i)).c_str()).empty())
          << "profile values are written by an apply, not at start";
    }
    auto& slot0 = DM->FProfileSettingGroup.ProfileSettingList[0];
    EXPECT_EQ(quarn::ToWide(quarn::ReadText(slot0.FilePath)), DataFolder());
    EXPECT_EQ(quarn::ToWide(DM->FProfileGroup[0]->FilePath()), DataFolder() + L"\\");
    current.assign(reinterpret_cast<const std::uint8_t*>(&DM->FCurrentProfileInfo),
                   reinterpret_cast<const std::uint8_t*>(&DM->FCurrentProfileInfo) + 127108);
    EXPECT_EQ(current, files[0]);

    // An apply writes the per-profile registry values and the current profile's file.
    DM->FCurrentProfileInfo.ConfigInfo.PointerSpeed = 15;
    DM->SaveCurrentProfileInfoToRegistry();
    DM->SaveCurrentProfileInfoToFile();
    DM->SaveBackAllProfileInfoToRegistry();
    EXPECT_EQ(ReadValue(L"zykProfile5.pfd").size(), 127108u);
    files[0] = ReadFile(DataFolder() + L"\\zykProfile1.pfd");
    EXPECT_EQ(reinterpret_cast<const TMouseProfileInfo*>(files[0].data())->ConfigInfo.PointerSpeed, 15);
    EXPECT_EQ(DM->GetPersonalDocumentPresetMacroPath(), quarn::FromWide(DataFolder()) + u"\\PresetMacros\\MacroSet.MSDB");
    EXPECT_NE(GetFileAttributesW((DataFolder() + L"\\PresetMacros").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  EXPECT_EQ(DM, nullptr);
  {
    quarn::DataModuleHost host;
    EXPECT_EQ(ReadValue(L"zykProfileSettingGroup.pfd"), group);
    EXPECT_EQ(ReadValue(L"zykPROFILE.pfd"), all);
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(ReadFile(DataFolder() + L"\\" + quarn::ToWide(quarn::SlotFileName(i))), files[i]) << i;
    EXPECT_EQ(DM->FCurrentProfileInfo.ConfigInfo.PointerSpeed, 15);
  }
  RemoveStoredProfiles();
}

TEST(WinDataModule, Environment) {
  quarn::WinProfileEnvironment env;
  const auto docs = env.DocumentsFolder();
  ASSERT_GT(docs.size(), 3u);
  EXPECT_NE(docs.back(), u'\\');
  EXPECT_NE(GetFileAttributesW(quarn::ToWide(docs).c_str()), INVALID_FILE_ATTRIBUTES);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  folder.resize(folder.find_last_of(L'\\'));
  EXPECT_EQ(quarn::ToWide(env.ProgramFolder()), folder);
  EXPECT_EQ(env.SystemDefaultLangID(), GetSystemDefaultLangID());
}

}  // namespace
