// The storage adapters against Wine's real registry and file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "profile_records.h"
#include "record_builders.h"
#include "vn_profile.h"
#include "wide.h"
#include "win_file_store.h"
#include "win_registry_store.h"

namespace {

using quarn::StoreStatus;
using quarn::testing::BytesOf;
using quarn::testing::Pattern;
using quarn::testing::PatternProfile;

constexpr auto HKCU = quarn::kHKeyCurrentUser;
const std::u16string kKey = u"software\\QUARNMouseStoreTest";

std::u16string TempFolder() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH, buf);
  std::u16string dir = quarn::FromWide(std::wstring_view(buf, n)) + u"quarn-store-test";
  CreateDirectoryW(quarn::ToWide(dir).c_str(), nullptr);
  return dir + u"\\";
}

void PutRaw(const std::u16string& name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, quarn::ToWide(kKey).c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, quarn::ToWide(name).c_str(), 0, type,
                           static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

std::vector<std::uint8_t> ReadRaw(const std::u16string& name, DWORD* typeOut) {
  HKEY key;
  std::vector<std::uint8_t> out;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, quarn::ToWide(kKey).c_str(), 0, KEY_QUERY_VALUE, &key))
    return out;
  DWORD size = 0;
  RegQueryValueExW(key, quarn::ToWide(name).c_str(), nullptr, typeOut, nullptr, &size);
  out.resize(size);
  RegQueryValueExW(key, quarn::ToWide(name).c_str(), nullptr, typeOut, out.data(), &size);
  RegCloseKey(key);
  return out;
}

TEST(WinRegistryStore, ProfileRoundTripAsRegBinary) {
  quarn::WinRegistryStore registry;
  quarn::WinFileStore files;
  TvnProfile profile(registry, files);
  profile.SetRootKey(HKCU);
  profile.SetKeyPath(kKey);
  profile.SetFileName(u"zykProfile1.pfd");
  auto written = PatternProfile(3);
  profile.Write(written.get(), sizeof *written);
  ASSERT_TRUE(profile.SaveStreamToRegistry());

  DWORD type = 0;
  EXPECT_EQ(ReadRaw(u"zykProfile1.pfd", &type), BytesOf(*written));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

  TvnProfile reader(registry, files);
  reader.SetRootKey(HKCU);
  reader.SetKeyPath(kKey);
  reader.SetFileName(u"ZYKPROFILE1.PFD");  // value names are case-insensitive
  ASSERT_TRUE(reader.LoadStreamFromRegistry());
  auto back = std::make_unique<TMouseProfileInfo>();
  EXPECT_EQ(reader.Read(back.get(), sizeof *back), 127108);
  EXPECT_EQ(BytesOf(*back), BytesOf(*written));
}

TEST(WinRegistryStore, ValueKinds) {
  quarn::WinRegistryStore registry;
  const wchar_t text[] = L"not a profile";
  const DWORD number = 7;
  const auto blob = Pattern(100, 1);
  PutRaw(u"sz", REG_SZ, text, sizeof text);
  PutRaw(u"expand", REG_EXPAND_SZ, text, sizeof text);
  PutRaw(u"dword", REG_DWORD, &number, sizeof number);
  PutRaw(u"empty", REG_BINARY, nullptr, 0);
  PutRaw(u"short", REG_BINARY, blob.data(), 100);
  PutRaw(u"none", REG_NONE, blob.data(), 100);
  struct Case {
    const char* why;
    std::u16string name;
    StoreStatus status;
    std::size_t size;
  };
  const Case cases[] = {
      {"string value is the wrong type", u"sz", StoreStatus::WrongType, 0},
      {"expandable string is the wrong type", u"expand", StoreStatus::WrongType, 0},
      {"DWORD is the wrong type", u"dword", StoreStatus::WrongType, 0},
      {"zero-byte value is an empty block", u"empty", StoreStatus::Ok, 0},
      {"short binary value", u"short", StoreStatus::Ok, 100},
      {"other types are read as raw bytes", u"none", StoreStatus::Ok, 100},
      {"missing value", u"absent", StoreStatus::Missing, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    std::vector<std::uint8_t> data(5, 0xCC);
    EXPECT_EQ(registry.ReadBinary(HKCU, kKey, c.name, data), c.status);
    if (c.status == StoreStatus::Ok) EXPECT_EQ(data.size(), c.size);
    else EXPECT_EQ(data, std::vector<std::uint8_t>(5, 0xCC)) << "untouched on failure";
  }
  std::vector<std::uint8_t> data;
  EXPECT_EQ(registry.ReadBinary(0x80000000u, kKey, u"short", data), StoreStatus::KeyUnavailable);
  EXPECT_FALSE(registry.WriteBinary(0x80000000u, kKey, u"x", blob.data(), blob.size()));
}

TEST(WinRegistryStore, CreatesTheKeyOnDemand) {
  quarn::WinRegistryStore registry;
  const std::u16string key = kKey + u"\\Fresh";
  RegDeleteKeyW(HKEY_CURRENT_USER, quarn::ToWide(key).c_str());
  std::vector<std::uint8_t> data;
  EXPECT_EQ(registry.ReadBinary(HKCU, key, u"v", data), StoreStatus::Missing);
  HKEY h;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, quarn::ToWide(key).c_str(), 0, KEY_READ, &h),
            ERROR_SUCCESS);
  RegCloseKey(h);
}

class WinFileStoreTest : public ::testing::Test {
 protected:
  std::u16string dir = TempFolder();
  quarn::WinFileStore files;
};

TEST_F(WinFileStoreTest, ProfileRoundTripThroughTheStream) {
  quarn::WinRegistryStore registry;
  TvnProfile profile(registry, files);
  profile.SetFileName(u"zykProfile2.pfd");
  profile.SetFilePath(dir.substr(0, dir.size() - 1));
  EXPECT_EQ(profile.FilePath(), dir);
  auto written = PatternProfile(11);
  profile.Write(written.get(), sizeof *written);
  ASSERT_TRUE(profile.SaveStreamToFile());
  EXPECT_FALSE(files.FileExists(dir + u"zykProfile2.pfd.~tmp")) << "temporary file is gone";

  TvnProfile reader(registry, files);
  ASSERT_TRUE(reader.LoadStreamFromFile(dir + u"zykProfile2.pfd"));
  EXPECT_EQ(reader.Block(), BytesOf(*written));
}

TEST_F(WinFileStoreTest, ReplacesAnExistingFileWhole) {
  const auto path = dir + u"replace.pfd";
  const auto big = Pattern(5000, 1);
  const auto small = Pattern(10, 2);
  ASSERT_TRUE(files.WriteWholeFile(path, big.data(), big.size()));
  ASSERT_TRUE(files.WriteWholeFile(path, small.data(), small.size()));
  std::vector<std::uint8_t> back;
  ASSERT_EQ(files.ReadWholeFile(path, back), StoreStatus::Ok);
  EXPECT_EQ(back, small);
}

TEST_F(WinFileStoreTest, ExistingButUnreadableIsNotMissing) {
  const auto path = dir + u"locked.pfd";
  const auto bytes = Pattern(64, 3);
  ASSERT_TRUE(files.WriteWholeFile(path, bytes.data(), bytes.size()));
  HANDLE lock = CreateFileW(quarn::ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  std::vector<std::uint8_t> data;
  EXPECT_EQ(files.ReadWholeFile(path, data), StoreStatus::Unreadable);
  EXPECT_FALSE(files.WriteWholeFile(path, bytes.data(), 1)) << "locked target: write fails";
  CloseHandle(lock);
  ASSERT_EQ(files.ReadWholeFile(path, data), StoreStatus::Ok);
  EXPECT_EQ(data, bytes) << "a failed write leaves the old file whole";

  EXPECT_EQ(files.ReadWholeFile(dir + u"absent.pfd", data), StoreStatus::Missing);
  EXPECT_EQ(files.ReadWholeFile(dir + u"no\\such\\folder.pfd", data), StoreStatus::Missing);
  EXPECT_EQ(files.ReadWholeFile(dir.substr(0, dir.size() - 1), data), StoreStatus::Unreadable)
      << "a folder in place of the file";
}

TEST_F(WinFileStoreTest, FileOverTheSizeLimitIsRefused) {
  const auto path = dir + u"huge.pfd";
  HANDLE h = CreateFileW(quarn::ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                         nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = quarn::kMaxStoredBlobSize + 1;
  ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h));
  CloseHandle(h);
  std::vector<std::uint8_t> data;
  EXPECT_EQ(files.ReadWholeFile(path, data), StoreStatus::TooLarge);
  DeleteFileW(quarn::ToWide(path).c_str());
}

TEST_F(WinFileStoreTest, Folders) {
  const auto sub = dir + u"sub";
  RemoveDirectoryW(quarn::ToWide(sub).c_str());
  EXPECT_FALSE(files.DirectoryExists(sub));
  EXPECT_TRUE(files.CreateFolder(sub + u"\\"));
  EXPECT_TRUE(files.DirectoryExists(sub));
  EXPECT_TRUE(files.CreateFolder(sub)) << "an existing folder is fine";
  EXPECT_FALSE(files.CreateFolder(dir + u"a\\b\\c")) << "one level only";
  EXPECT_FALSE(files.FileExists(sub)) << "a folder is not a file";
  const auto bytes = Pattern(4, 1);
  EXPECT_FALSE(files.WriteWholeFile(dir + u"a\\b\\c.pfd", bytes.data(), bytes.size()));
}

}  // namespace
