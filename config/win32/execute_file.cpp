#include "execute_file.h"

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "web_address.h"
#include "wide.h"

namespace quarn {

void ExecuteFileAndWait(std::u16string_view file, std::u16string_view params,
                        std::u16string_view dir) {
  if (file.empty()) return;
  const std::wstring f = ToWide(file), p = ToWide(params), d = ToWide(dir);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  // No environment substitution: the file started is the file the caller checked.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = nullptr;
  info.lpVerb = L"open";
  info.lpFile = f.c_str();
  info.lpParameters = p.empty() ? nullptr : p.c_str();
  info.lpDirectory = d.empty() ? nullptr : d.c_str();
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info) || info.hProcess == nullptr) return;
  for (;;) {
    const DWORD r = MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r != WAIT_OBJECT_0 + 1) break;  // ended, or the wait itself failed
    // Handles the messages sent to this thread; posted ones stay queued.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(info.hProcess);
}

bool OpenWebPage(HWND owner, std::u16string_view address) {
  if (!IsWebAddress(address)) return false;
  const std::wstring a = ToWide(address);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.hwnd = owner;
  info.lpVerb = L"open";
  info.lpFile = a.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

}  // namespace quarn
