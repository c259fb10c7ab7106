// Decimal text of an integer as UTF-16, for list keys and delay texts.
#pragma once

#include <cstdint>
#include <string>

namespace quarn {

inline std::u16string DecimalText(std::int64_t value) {
  char16_t buf[24];
  char16_t* end = buf + sizeof buf / sizeof buf[0];
  char16_t* p = end;
  const bool negative = value < 0;
  // Work in unsigned so that the lowest value negates without overflow.
  std::uint64_t v =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    *--p = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (negative) *--p = u'-';
  return std::u16string(p, end);
}

}  // namespace quarn
