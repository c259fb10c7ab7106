// Bounded access to the fixed-length UTF-16 text arrays of the stored records.
// A value shorter than its array ends with a zero unit; a value that fills the
// array has no terminator.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace quarn {

// Units up to the first zero unit or the end of the array, whichever comes first.
inline std::u16string ReadText(const char16_t* units, std::size_t capacity) {
  std::size_t n = 0;
  while (n < capacity && units[n] != 0) ++n;
  return std::u16string(units, n);
}

template <std::size_t N>
std::u16string ReadText(const char16_t (&units)[N]) {
  return ReadText(units, N);
}

// Copies the value, a terminator when there is room, and zero-fills the rest.
// A value longer than the array is refused and leaves the array unchanged.
// A value with an embedded zero unit is cut there by every reader, so it is
// refused too rather than stored as something else than was asked.
inline bool WriteText(char16_t* units, std::size_t capacity, std::u16string_view value) {
  if (value.size() > capacity) return false;
  if (value.find(u'\0') != std::u16string_view::npos) return false;
  if (!value.empty()) std::memcpy(units, value.data(), value.size() * sizeof(char16_t));
  for (std::size_t i = value.size(); i < capacity; ++i) units[i] = 0;
  return true;
}

template <std::size_t N>
bool WriteText(char16_t (&units)[N], std::u16string_view value) {
  return WriteText(units, N, value);
}

}  // namespace quarn
