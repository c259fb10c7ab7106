// The window's handlers for profile files and updates with every Win32 adapter
// in place: the start-up work of an update in a real program folder, the edit
// dialog in a real window closed without OK, and the menu's unknown items.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_environment.h"
#include "ini_file.h"
#include "preset_profile.h"
#include "profile_files_host.h"
#include "text_field.h"
#include "wide.h"
#include "win_registry_store.h"

namespace quarn {
namespace {

std::wstring TempFolder(const wchar_t* name) {
  wchar_t buffer[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, buffer);
  return std::wstring(buffer) + name + std::to_wstring(GetCurrentProcessId());
}

void RemoveTree(const std::wstring& path) {
  std::wstring from = path;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\QUARNMouse");
    program_ = TempFolder(L"quarn-host-prog");
    docs_ = TempFolder(L"quarn-host-docs");
    RemoveTree(program_);
    RemoveTree(docs_);
    CreateDirectoryW(program_.c_str(), nullptr);
    CreateDirectoryW(docs_.c_str(), nullptr);
    env_.documents = FromWide(docs_);
    env_.programFolder = FromWide(program_);
    dm_ = std::make_unique<TDM>(registry_, files_, env_);
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\QUARNMouse");
    RemoveTree(program_);
    RemoveTree(docs_);
  }
  std::u16string Program(std::u16string_view name) const {
    return FromWide(program_) + u"\\" + std::u16string(name);
  }
  void Write(const std::u16string& path, std::string_view text) {
    ASSERT_TRUE(files_.WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()),
                                      text.size()));
  }
  std::string Read(const std::u16string& path) {
    std::vector<std::uint8_t> b;
    if (files_.ReadWholeFile(path, b) != StoreStatus::Ok) return "<missing>";
    return std::string(b.begin(), b.end());
  }

  std::wstring program_, docs_;
  WinRegistryStore registry_;
  WinFileStore files_;
  testing::FakeEnvironment env_;
  std::unique_ptr<TDM> dm_;
};

TEST_F(HostTest, AtStartUpTheUpdatesInstructionsAreCarriedOutOnce) {
  Write(Program(u"new file.txt"), "NEW");
  Write(Program(u"old.txt"), "OLD");
  Write(Program(u"upgcfg.zip"), "[filelist]\r\nnew file.txt=old.txt\r\n");
  ProfileFilesHost host(nullptr, *dm_, files_, FromWide(program_), FromWide(docs_));
  const auto r = host.ProgramStarted();
  EXPECT_TRUE(r.ran);
  EXPECT_EQ(r.moved, 1);
  EXPECT_EQ(Read(Program(u"old.txt")), "NEW");
  EXPECT_EQ(Read(Program(u"upgcfg.zip")), "<missing>");
  EXPECT_EQ(Read(Program(u"upgcfg.ini")), "[filelist]\r\nnew file.txt=old.txt\r\n");
  std::vector<std::uint8_t> log;
  ASSERT_EQ(files_.ReadWholeFile(Program(u"upgLog.log"), log), StoreStatus::Ok);
  const auto keys = IniFile::Parse(log).Keys(u"log");
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_TRUE(keys[0].ends_with(u"_1") && !keys[0].ends_with(u"__1"));
  EXPECT_TRUE(keys[1].ends_with(u"__1"));
  const std::string logText = Read(Program(u"upgLog.log"));
  EXPECT_FALSE(host.ProgramStarted().ran);
  EXPECT_EQ(Read(Program(u"upgLog.log")), logText);
}

HWND FindDialog() {
  return FindWindowW(dialogs::kDialogClass, nullptr);
}

RECT gDialogRect{};
void CALLBACK CloseTheDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND d = FindDialog();
  if (d == nullptr) return;  // not shown yet: the timer comes again
  KillTimer(nullptr, id);
  GetWindowRect(d, &gDialogRect);
  PostMessageW(d, WM_CLOSE, 0, 0);
}

TEST_F(HostTest, TheEditDialogClosedWithoutOkChangesNothing) {
  WriteText(dm_->FCurrentProfileInfo.ConfigInfo.ApplicationList[0], u"C:\\keep.exe");
  dm_->FCurrentProfileInfo.ConfigInfo.AutoSwitchProfileWhenAppRun = 0;
  const auto before = dm_->FCurrentProfileInfo;
  ProfileFilesHost host(nullptr, *dm_, files_, FromWide(program_), FromWide(docs_));
  SetTimer(nullptr, 0, 300, &CloseTheDialog);
  const ui::ScreenRect main{100, 100, 1100, 800};
  EXPECT_EQ(host.EditProfileClick(main), 2);
  EXPECT_EQ(std::memcmp(&dm_->FCurrentProfileInfo, &before, sizeof before), 0);
  // The client is 478 x 389, centred on the main window.
  EXPECT_EQ(gDialogRect.right - gDialogRect.left, 478);
  EXPECT_EQ(gDialogRect.bottom - gDialogRect.top, 389);
  const auto at = ui::CenterIn(main, 478, 389);
  EXPECT_EQ(gDialogRect.left, at.x);
  EXPECT_EQ(gDialogRect.top, at.y);
}

TEST_F(HostTest, ThePresetItemLoadsTheFileBesideTheProgram) {
  ProfileFilesHost host(nullptr, *dm_, files_, FromWide(program_), FromWide(docs_));
  EXPECT_FALSE(host.ProfileMenuItemClick(1)) << "no preset file yet";
  const auto preset = PresetProfileBytes();
  ASSERT_TRUE(
      files_.WriteWholeFile(Program(u"ZDPresetProfile1.pfd"), preset.data(), preset.size()));
  EXPECT_TRUE(host.ProfileMenuItemClick(1));
  EXPECT_EQ(dm_->FProfileGroup[dm_->FProfileIndex]->Block(), preset);
  EXPECT_FALSE(host.ProfileMenuItemClick(0));
  EXPECT_FALSE(host.ProfileMenuItemClick(4));
}

}  // namespace
}  // namespace quarn
