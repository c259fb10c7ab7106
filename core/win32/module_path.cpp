#include "module_path.h"

#include <windows.h>

#include <vector>

#include "wide.h"

namespace quarn {

std::u16string ExecutableFilePath() {
  // Long paths do not fit MAX_PATH: grow the buffer until the name fits.
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::vector<wchar_t> buf(size);
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), size);
    if (n == 0) return {};
    if (n < size) return FromWide(std::wstring_view(buf.data(), n));
  }
  return {};
}

}  // namespace quarn
