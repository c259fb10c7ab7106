// The profile-file commands over the real registry and files, the hidden
// start-and-wait of programs (with a program that sends to our window while
// we wait), the update's moves and log in a real folder, the file dialogs'
// filters, and the refusal of web addresses that are not http or https.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "execute_file.h"
#include "fake_environment.h"
#include "ini_file.h"
#include "profile_file_commands.h"
#include "wide.h"
#include "win_file_dialogs.h"
#include "win_file_store.h"
#include "win_registry_store.h"
#include "win_upgrade_files.h"

namespace quarn {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::u16string ThisFolder() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring s(self);
  return FromWide(s.substr(0, s.find_last_of(L'\\')));
}

std::u16string Helper() {
  return ThisFolder() + u"\\profile_helper.exe";
}

// A fresh folder under the temporary folder, removed with what it holds.
class TempDir {
 public:
  explicit TempDir(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, buffer);
    path_ = std::wstring(buffer) + name + std::to_wstring(GetCurrentProcessId());
    Remove();
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempDir() { Remove(); }
  std::u16string Path() const { return FromWide(path_); }
  std::u16string File(std::u16string_view name) const {
    return FromWide(path_) + u"\\" + std::u16string(name);
  }

 private:
  void Remove() {
    std::wstring from = path_;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  std::wstring path_;
};

std::string ReadAll(const std::u16string& path) {
  std::vector<std::uint8_t> bytes;
  WinFileStore files;
  if (files.ReadWholeFile(path, bytes) != StoreStatus::Ok) return "<missing>";
  return std::string(bytes.begin(), bytes.end());
}

void WriteAll(const std::u16string& path, std::string_view text) {
  WinFileStore files;
  ASSERT_TRUE(
      files.WriteWholeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// ---- starting a program and waiting for it ----

TEST(ExecuteFileAndWait, ReturnsOnceTheProgramHasEnded) {
  const auto start = Clock::now();
  ExecuteFileAndWait(Helper(), u"sleep 600", ThisFolder());
  EXPECT_GE(Clock::now() - start, 550ms);
}

std::atomic<int> gSent{0};

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP + 7) {
    ++gSent;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(ExecuteFileAndWait, AProgramThatSendsToOurWindowIsServedWhileWeWait) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuarnProfileFilesTestWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
  ASSERT_NE(hwnd, nullptr);
  gSent = 0;
  const auto start = Clock::now();
  const std::u16string params =
      u"send " + FromWide(std::to_wstring(reinterpret_cast<INT_PTR>(hwnd))) + u" 300";
  ExecuteFileAndWait(Helper(), params, ThisFolder());
  EXPECT_EQ(gSent.load(), 1) << "the sent message was handled during the wait";
  EXPECT_GE(Clock::now() - start, 250ms) << "and the wait lasted until the program ended";
  EXPECT_LT(Clock::now() - start, 20s);
  DestroyWindow(hwnd);
}

BOOL CALLBACK CountOwnWindows(HWND hwnd, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(lp);
  return TRUE;
}

TEST(ExecuteFileAndWait, AMissingFileReturnsAtOnceWithoutAnyWindow) {
  int before = 0, after = 0;
  EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&before));
  const auto start = Clock::now();
  ExecuteFileAndWait(ThisFolder() + u"\\no such program.exe", u"", ThisFolder());
  ExecuteFileAndWait(ThisFolder() + u"\\notes.unknownextension", u"", ThisFolder());
  EXPECT_LT(Clock::now() - start, 10s);
  EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&after));
  EXPECT_EQ(after, before) << "no error box";
}

TEST(OpenWebPage, OnlyHttpAndHttpsAddressesAreOpened) {
  // A program or document given as the web site is never started.
  for (const std::u16string& address : std::vector<std::u16string>{
           Helper(), u"file:///" + Helper(), u"C:\\windows\\notepad.exe", u"calc", u"",
           u"javascript:alert(1)", u"http:/", u"http://", u"http:// host"}) {
    SCOPED_TRACE(std::string(address.begin(), address.end()));
    EXPECT_FALSE(OpenWebPage(nullptr, address));
  }
}

// ---- the update's moves, starts and log in a real folder ----

TEST(UpgradeAfterRestartOnDisk, MovesAFileWithABlankStartsHiddenAndLogs) {
  TempDir dir(L"quarn-upg");
  WriteAll(dir.File(u"new file.txt"), "NEW");
  WriteAll(dir.File(u"old file.txt"), "OLD");
  WriteAll(dir.File(u"upgcfg.ini"), "stale");
  const std::u16string helperCopy = dir.File(u"step helper.exe");
  ASSERT_TRUE(CopyFileW(ToWide(Helper()).c_str(), ToWide(helperCopy).c_str(), FALSE));
  WriteAll(dir.File(u"upgcfg.zip"),
           "[filelist]\r\nnew file.txt = old file.txt\r\nabsent.txt=kept.txt\r\n"
           "..\\outside.txt=x.txt\r\n[toLaunchFileList]\r\n1=\"step helper.exe\"\r\n");
  WriteAll(dir.File(u"kept.txt"), "KEPT");

  WinUpgradeFileSystem files;
  // The helper started without arguments ends at once with an error code.
  WinHiddenProgramRunner runner;
  UpgradeAfterRestart work(files, runner, UpgradeLogTime);
  const auto r = work.Run(dir.Path());

  EXPECT_TRUE(r.renamed);
  EXPECT_EQ(r.moved, 1);
  EXPECT_EQ(r.failed, 2);
  EXPECT_EQ(r.started, 1);
  EXPECT_EQ(ReadAll(dir.File(u"old file.txt")), "NEW");
  EXPECT_EQ(ReadAll(dir.File(u"new file.txt")), "<missing>");
  EXPECT_EQ(ReadAll(dir.File(u"kept.txt")), "KEPT") << "a failed move keeps the old file";
  EXPECT_EQ(ReadAll(dir.File(u"upgcfg.zip")), "<missing>");
  EXPECT_NE(ReadAll(dir.File(u"upgcfg.ini")).find("[filelist]"), std::string::npos);

  std::vector<std::uint8_t> log;
  ASSERT_EQ(files.ReadWholeFile(dir.File(u"upgLog.log"), log), StoreStatus::Ok);
  const auto ini = IniFile::Parse(log);
  const auto keys = ini.Keys(u"log");
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_TRUE(keys[0].ends_with(u"_1"));
  EXPECT_EQ(ini.ReadString(u"log", keys[0], u""),
            u"Rename<" + dir.File(u"upgcfg.zip") + u"> to <" + dir.File(u"upgcfg.ini") + u"> OK.");
  EXPECT_TRUE(keys[1].ends_with(u"__1"));
  EXPECT_EQ(ini.ReadString(u"log", keys[1], u""), u"Rename<new file.txt> to <old file.txt> OK.");
  EXPECT_EQ(ini.ReadString(u"log", keys[2], u""), u"Rename<absent.txt> to <kept.txt> FAILED.");
  EXPECT_EQ(ini.ReadString(u"log", keys[3], u""), u"Rename<..\\outside.txt> to <x.txt> FAILED.");
  // The key starts with the local date.
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[64] = {};
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 64, nullptr);
  EXPECT_TRUE(keys[0].starts_with(FromWide(date)));

  // The zip is consumed: a second start changes nothing.
  const std::string before = ReadAll(dir.File(u"upgLog.log"));
  EXPECT_FALSE(work.Run(dir.Path()).ran);
  EXPECT_EQ(ReadAll(dir.File(u"upgLog.log")), before);
}

TEST(UpgradeAfterRestartOnDisk, ProgramsRunOneAfterTheOther) {
  TempDir dir(L"quarn-upg2");
  ASSERT_TRUE(CopyFileW(ToWide(Helper()).c_str(), ToWide(dir.File(u"h.exe")).c_str(), FALSE));
  // Two hidden runs of a program that appends to a file: both have ended when
  // the work returns, in list order.
  class Runner : public HiddenProgramRunner {
   public:
    explicit Runner(std::u16string out) : out_(std::move(out)) {}
    void RunAndWait(std::u16string_view file, std::u16string_view,
                    std::u16string_view folder) override {
      ExecuteFileAndWait(file, u"write \"" + out_ + u"\" run" + FromWide(std::to_wstring(++n_)),
                         folder);
    }
    std::u16string out_;
    int n_ = 0;
  } runner(dir.File(u"order.txt"));
  WriteAll(dir.File(u"upgcfg.zip"), "[toLaunchFileList]\r\na=h.exe\r\nb=h.exe\r\n");
  WinUpgradeFileSystem files;
  UpgradeAfterRestart work(files, runner, UpgradeLogTime);
  EXPECT_EQ(work.Run(dir.Path()).started, 2);
  EXPECT_EQ(ReadAll(dir.File(u"order.txt")), "run1\r\nrun2\r\n");
}

TEST(UpgradeFiles, MoveReplacesInOneStepAndAFailedMoveKeepsTheTarget) {
  TempDir dir(L"quarn-move");
  WinUpgradeFileSystem files;
  WriteAll(dir.File(u"a.txt"), "A");
  WriteAll(dir.File(u"b.txt"), "B");
  EXPECT_TRUE(files.MoveReplacing(dir.File(u"a.txt"), dir.File(u"b.txt")));
  EXPECT_EQ(ReadAll(dir.File(u"b.txt")), "A");
  EXPECT_FALSE(files.MoveReplacing(dir.File(u"a.txt"), dir.File(u"b.txt")));
  EXPECT_EQ(ReadAll(dir.File(u"b.txt")), "A");
  CreateDirectoryW(ToWide(dir.File(u"folder")).c_str(), nullptr);
  EXPECT_FALSE(files.MoveReplacing(dir.File(u"folder"), dir.File(u"b.txt")));
  EXPECT_EQ(ReadAll(dir.File(u"b.txt")), "A");
}

// ---- the commands over the real registry and files ----

class ScriptedDialogs : public FileDialogs {
 public:
  bool Run(const FileDialogRequest&, std::u16string& file) override {
    if (answer.empty()) return false;
    file = answer;
    return true;
  }
  std::u16string answer;
};

class NoMessages : public MessageBoxes {
 public:
  void ShowMessage(const std::u16string& text) override { shown.push_back(text); }
  std::vector<std::u16string> shown;
};

class ProfileFilesOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\QUARNMouse");
    env.documents = docs.Path();
    env.programFolder = ThisFolder();
    dm = std::make_unique<TDM>(registry, files, env);
    commands = std::make_unique<ProfileFileCommands>(*dm, files, dialogs, messages);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\QUARNMouse"); }

  TempDir docs{L"quarn-docs"};
  TempDir mine{L"quarn-mine"};
  WinRegistryStore registry;
  WinFileStore files;
  testing::FakeEnvironment env;
  ScriptedDialogs dialogs;
  NoMessages messages;
  std::unique_ptr<TDM> dm;
  std::unique_ptr<ProfileFileCommands> commands;
};

TEST_F(ProfileFilesOnDisk, SaveAsThenLoadRoundTripsTheProfileByteForByte) {
  // A profile unlike the defaults, loaded first.
  auto p = std::make_unique<TMouseProfileInfo>();
  std::memset(p.get(), 0, sizeof *p);
  auto* b = reinterpret_cast<std::uint8_t*>(p.get());
  for (std::size_t i = 0; i < sizeof *p; ++i) b[i] = static_cast<std::uint8_t>(i * 13 + 5);
  ClearStoredOtherConfig(*p);
  p->ProfileHeader.FFileVersion = 258;
  ASSERT_TRUE(files.WriteWholeFile(mine.File(u"start.pfd"), b, sizeof *p));
  ASSERT_TRUE(commands->LoadProfileFile(mine.File(u"start.pfd")));

  const auto current = dm->FProfileGroup[dm->FProfileIndex]->Block();
  dialogs.answer = mine.File(u"saved copy.pfd");
  ASSERT_TRUE(commands->SaveProfileFileAs(mine.Path()));
  std::vector<std::uint8_t> saved;
  ASSERT_EQ(files.ReadWholeFile(mine.File(u"saved copy.pfd"), saved), StoreStatus::Ok);
  EXPECT_EQ(saved, current);

  dm->RestoreCurrentProfileInfoToDefault();
  ASSERT_TRUE(commands->LoadProfileFile(mine.File(u"saved copy.pfd")));
  EXPECT_EQ(dm->FProfileGroup[dm->FProfileIndex]->Block(), saved);
  std::vector<std::uint8_t> stored;
  const auto name = dm->FProfileGroup[dm->FProfileIndex]->FileName();
  ASSERT_EQ(registry.ReadBinary(kHKeyCurrentUser, u"software\\QUARNMouse", name, stored),
            StoreStatus::Ok);
  EXPECT_EQ(stored, saved);
}

TEST_F(ProfileFilesOnDisk, AFileOfAnotherVersionOrCutShortIsRefused) {
  auto p = std::make_unique<TMouseProfileInfo>();
  std::memset(p.get(), 0, sizeof *p);
  p->ProfileHeader.FFileVersion = 257;
  const auto* b = reinterpret_cast<const std::uint8_t*>(p.get());
  ASSERT_TRUE(files.WriteWholeFile(mine.File(u"v257.pfd"), b, sizeof *p));
  p->ProfileHeader.FFileVersion = 258;
  ASSERT_TRUE(files.WriteWholeFile(mine.File(u"short.pfd"), b, sizeof *p - 1));
  const auto before = dm->FProfileGroup[dm->FProfileIndex]->Block();
  EXPECT_FALSE(commands->LoadProfileFile(mine.File(u"v257.pfd")));
  EXPECT_FALSE(commands->LoadProfileFile(mine.File(u"short.pfd")));
  dialogs.answer = mine.File(u"short.pfd");
  EXPECT_FALSE(commands->LoadProfileFileWithDialog(mine.Path()));
  EXPECT_EQ(dm->FProfileGroup[dm->FProfileIndex]->Block(), before);
}

TEST_F(ProfileFilesOnDisk, SaveAsIntoAFolderThatTakesNoFileReportsIt) {
  // A file where the folder should be: no file can be made there.
  WriteAll(mine.File(u"afile"), "x");
  dialogs.answer = mine.File(u"afile\\x.pfd");
  EXPECT_FALSE(commands->SaveProfileFileAs(mine.Path()));
  EXPECT_EQ(messages.shown, std::vector<std::u16string>{std::u16string(kNoPermissionMessage)});
  // A folder named tmp2323 beside the file is no obstacle.
  CreateDirectoryW(ToWide(mine.File(u"tmp2323")).c_str(), nullptr);
  dialogs.answer = mine.File(u"x.pfd");
  EXPECT_TRUE(commands->SaveProfileFileAs(mine.Path()));
}

TEST(DialogFilter, PartsAreSeparatedByZeros) {
  EXPECT_EQ(DialogFilter(u"gaming profiles|*.pfd"),
            std::wstring(L"gaming profiles\0*.pfd\0\0", 23));
}

}  // namespace
}  // namespace quarn
