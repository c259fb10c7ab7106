#include "win_file_dialogs.h"

#include <windows.h>
// after windows.h
#include <commdlg.h>

#include <vector>

#include "common_dialogs.h"
#include "wide.h"

namespace quarn {

std::wstring DialogFilter(std::u16string_view filter) {
  std::wstring out = ToWide(filter);
  for (auto& c : out)
    if (c == L'|') c = L'\0';
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

bool WinFileDialogs::Run(const FileDialogRequest& request, std::u16string& file) {
  // One unit more than the longest path taken, so a longer choice shows as too long.
  constexpr std::size_t kLongest = 32767;
  const std::size_t limit = request.MaxPath == 0 ? kLongest : std::min(request.MaxPath, kLongest);
  std::vector<wchar_t> buffer(limit + 2, L'\0');
  const std::wstring filter = DialogFilter(request.Filter);
  const std::wstring initial = ToWide(request.InitialDir);
  std::wstring ext = ToWide(request.DefaultExt);
  if (!ext.empty() && ext.front() == L'.') ext.erase(ext.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(limit + 1);
  ofn.lpstrInitialDir = initial.empty() ? nullptr : initial.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  BOOL ok;
  if (request.Kind == FileDialogKind::Save) {
    ofn.Flags |= OFN_OVERWRITEPROMPT;
    ok = comdlg::GetSaveFileNameW(&ofn);
  } else {
    ofn.Flags |= OFN_FILEMUSTEXIST;
    ok = comdlg::GetOpenFileNameW(&ofn);
  }
  if (!ok) return false;  // cancelled, or the path did not fit
  buffer.back() = L'\0';
  const std::size_t n = wcsnlen(buffer.data(), buffer.size());
  if (n == 0 || n > limit) return false;
  file = FromWide(std::wstring_view(buffer.data(), n));
  return true;
}

void WinMessageBoxes::ShowMessage(const std::u16string& text) {
  const std::wstring t = ToWide(text);
  MessageBoxW(owner_, t.c_str(), L"", MB_OK);
}

}  // namespace quarn
