#include "win_upgrade_files.h"

#include <windows.h>

#include "wide.h"

namespace quarn {

bool WinUpgradeFileSystem::MoveReplacing(std::u16string_view from, std::u16string_view to) {
  if (from.empty() || to.empty()) return false;
  const std::wstring f = ToWide(from), t = ToWide(to);
  const DWORD attributes = GetFileAttributesW(f.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  return MoveFileExW(f.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
         FALSE;
}

std::u16string UpgradeLogTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[128] = {}, time[128] = {};
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 128, nullptr);
  GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, 128);
  return FromWide(date) + u" " + FromWide(time);
}

}  // namespace quarn
