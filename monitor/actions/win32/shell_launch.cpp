#include "shell_launch.h"

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>
#include <shellapi.h>

#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "wide.h"
#include "win_file_store.h"

namespace quarn {

namespace {

// The folder part of a path, with the root's backslash kept ("C:\"); empty
// when the path names no folder.
std::wstring FolderOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  if (slash == 0 || path[slash - 1] == L':') return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

// A quote or a control character is no part of a file name: such a path could
// only be read as something else than the one file it names.
bool IsProgramPath(const std::u16string& path) {
  if (path.empty()) return false;
  for (char16_t c : path)
    if (c == u'"' || c < 0x20) return false;
  return true;
}

// The starts handed to the worker, and whether a worker runs.
struct StartQueue {
  std::mutex lock;
  std::deque<std::function<void()>> waiting;
  bool workerRunning = false;
};

StartQueue& Starts() {
  static StartQueue* queue = new StartQueue;  // never destroyed: a worker may outlive main
  return *queue;
}

void StartWorker() {
  StartQueue& q = Starts();
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  for (;;) {
    std::function<void()> start;
    {
      std::lock_guard<std::mutex> guard(q.lock);
      if (q.waiting.empty()) {
        q.workerRunning = false;
        break;
      }
      start = std::move(q.waiting.front());
      q.waiting.pop_front();
    }
    try {
      start();
    } catch (...) {
      // Nothing leaves the worker; the next start still runs.
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace

bool RunOnStartWorker(std::function<void()> start) {
  StartQueue& q = Starts();
  std::lock_guard<std::mutex> guard(q.lock);
  if (q.waiting.size() >= kMaxWaitingStarts) return false;
  q.waiting.push_back(std::move(start));
  if (q.workerRunning) return true;
  try {
    std::thread(StartWorker).detach();
  } catch (...) {
    q.waiting.pop_back();
    return false;
  }
  q.workerRunning = true;
  return true;
}

bool StartProgram(const std::u16string& path) {
  if (!IsProgramPath(path)) return false;
  return RunOnStartWorker([path] { OpenProgram(path); });
}

bool StartExistingProgram(const std::u16string& path) {
  if (!IsProgramPath(path)) return false;
  return RunOnStartWorker([path] {
    if (FileExists(path)) OpenProgram(path);
  });
}

bool OpenProgram(const std::u16string& path) {
  if (!IsProgramPath(path)) return false;
  const std::wstring file = ToWide(path);
  const std::wstring folder = FolderOf(file);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = nullptr;
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

bool FileExists(const std::u16string& path) {
  return WinFileStore().FileExists(path);
}

}  // namespace quarn
