// Conversion between the portable UTF-16 strings and Win32 wide strings
// (both are UTF-16 on Windows, so this is a copy, not a transcoding).
#pragma once

#include <string>
#include <string_view>

namespace quarn {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 code expects 16-bit wchar_t");

inline std::wstring ToWide(std::u16string_view s) {
  return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}

inline std::u16string FromWide(std::wstring_view s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

}  // namespace quarn
