// Starting a stored program through the shell under Wine: by its own file,
// with no command line of its own, in its own folder, and never with a box.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include <atomic>
#include <string>

#include "shell_launch.h"
#include "wide.h"

namespace {

std::wstring ProgramFolder() {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring s(self, n);
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

// A folder with a space in its name, holding a copy of the probe program.
struct ProbeFolder {
  ProbeFolder() {
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp, n) + L"quarn action probe";
    CreateDirectoryW(folder.c_str(), nullptr);
    program = folder + L"\\probe app.exe";
    output = folder + L"\\probe-out.txt";
    DeleteFileW(output.c_str());
    copied = CopyFileW((ProgramFolder() + L"action_probe.exe").c_str(), program.c_str(), FALSE);
  }
  ~ProbeFolder() {
    DeleteFileW(output.c_str());
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
  }
  // The probe's two lines, once it has written them.
  bool ReadOutput(std::wstring& commandLine, std::wstring& workingFolder) {
    for (int i = 0; i < 200; ++i) {
      HANDLE f = CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             0, nullptr);
      if (f != INVALID_HANDLE_VALUE) {
        wchar_t buf[4096];
        DWORD read = 0;
        ReadFile(f, buf, sizeof buf, &read, nullptr);
        CloseHandle(f);
        const std::wstring text(buf, read / sizeof(wchar_t));
        const auto nl = text.find(L'\n');
        commandLine = text.substr(0, nl);
        workingFolder = text.substr(nl + 1, text.find(L'\n', nl + 1) - nl - 1);
        return true;
      }
      Sleep(50);
    }
    return false;
  }
  std::wstring folder, program, output;
  bool copied = false;
};

TEST(ShellLaunch, StartsTheProgramInItsFolderWithoutACommandLineOfItsOwn) {
  ProbeFolder probe;
  ASSERT_TRUE(probe.copied);
  EXPECT_TRUE(quarn::OpenProgram(quarn::FromWide(probe.program)));
  std::wstring commandLine, workingFolder;
  ASSERT_TRUE(probe.ReadOutput(commandLine, workingFolder)) << "the program did not run";
  EXPECT_EQ(CompareStringOrdinal(workingFolder.c_str(), -1, probe.folder.c_str(), -1, TRUE),
            CSTR_EQUAL)
      << std::string(workingFolder.begin(), workingFolder.end());
  // The command line is the quoted program path and nothing else.
  const std::wstring quoted = L"\"" + probe.program + L"\"";
  ASSERT_EQ(CompareStringOrdinal(commandLine.substr(0, quoted.size()).c_str(), -1, quoted.c_str(),
                                 -1, TRUE),
            CSTR_EQUAL)
      << std::string(commandLine.begin(), commandLine.end());
  EXPECT_EQ(commandLine.find_first_not_of(L' ', quoted.size()), std::wstring::npos)
      << std::string(commandLine.begin(), commandLine.end());
}

TEST(ShellLaunch, FailuresAreReportedWithoutABox) {
  ProbeFolder probe;
  const std::u16string program = quarn::FromWide(probe.program);
  EXPECT_FALSE(quarn::OpenProgram(u"C:\\no such folder\\no such program.exe"));
  EXPECT_FALSE(quarn::OpenProgram(u""));
  EXPECT_FALSE(quarn::OpenProgram(program + u"\" /extra"));
  EXPECT_FALSE(quarn::OpenProgram(program + u"\n"));
  Sleep(200);
  EXPECT_EQ(GetFileAttributesW(probe.output.c_str()), INVALID_FILE_ATTRIBUTES)
      << "nothing was started";
}

TEST(ShellLaunch, StartsRunOnAWorkerWithItsOwnApartmentAndNeverHoldUpTheCaller) {
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<DWORD> workerThread{0};
  std::atomic<HRESULT> apartment{E_FAIL};
  std::atomic<int> ran{0};
  // A start that hangs, as a network path that does not answer would.
  const DWORD before = GetTickCount();
  ASSERT_TRUE(quarn::RunOnStartWorker([&] {
    workerThread = GetCurrentThreadId();
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    apartment = hr;
    if (SUCCEEDED(hr)) CoUninitialize();
    SetEvent(started);
    WaitForSingleObject(release, 10000);
    ++ran;
  }));
  EXPECT_LT(GetTickCount() - before, 100u) << "the caller waited for the start";
  ASSERT_EQ(WaitForSingleObject(started, 5000), WAIT_OBJECT_0);
  EXPECT_NE(workerThread.load(), GetCurrentThreadId());
  EXPECT_EQ(apartment.load(), S_FALSE) << "the worker already has a single-threaded apartment";

  // While it hangs, a few more starts wait their turn; beyond that they are refused.
  for (std::size_t i = 0; i < quarn::kMaxWaitingStarts; ++i)
    EXPECT_TRUE(quarn::RunOnStartWorker([&] { ++ran; })) << i;
  EXPECT_FALSE(quarn::RunOnStartWorker([&] { ran += 100; })) << "a flood of starts is bounded";
  SetEvent(release);
  for (int i = 0; i < 200 && ran.load() < 1 + static_cast<int>(quarn::kMaxWaitingStarts); ++i)
    Sleep(10);
  EXPECT_EQ(ran.load(), 1 + static_cast<int>(quarn::kMaxWaitingStarts));
  CloseHandle(release);
  CloseHandle(started);

  // A real program through the worker.
  ProbeFolder probe;
  ASSERT_TRUE(probe.copied);
  EXPECT_TRUE(quarn::StartProgram(quarn::FromWide(probe.program)));
  std::wstring commandLine, workingFolder;
  EXPECT_TRUE(probe.ReadOutput(commandLine, workingFolder)) << "the program did not run";
  EXPECT_FALSE(quarn::StartProgram(u"C:\\x\" /extra"));
}

TEST(ShellLaunch, FileExistsForFilesOnly) {
  ProbeFolder probe;
  ASSERT_TRUE(probe.copied);
  EXPECT_TRUE(quarn::FileExists(quarn::FromWide(probe.program)));
  EXPECT_FALSE(quarn::FileExists(quarn::FromWide(probe.folder)));
  EXPECT_FALSE(quarn::FileExists(quarn::FromWide(probe.folder) + u"\\missing.exe"));
  EXPECT_FALSE(quarn::FileExists(u""));
}

}  // namespace
