// Small builders of records for tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "profile_records.h"

namespace quarn::testing {

// A profile in which every byte, reserved ones included, carries a value
// derived from its offset and `seed`; the OtherConfig bytes are zero as in
// every stored profile.
inline std::unique_ptr<TMouseProfileInfo> PatternProfile(std::uint8_t seed) {
  auto p = std::make_unique<TMouseProfileInfo>();
  auto* bytes = reinterpret_cast<std::uint8_t*>(p.get());
  for (std::size_t i = 0; i < sizeof(TMouseProfileInfo); ++i)
    bytes[i] = static_cast<std::uint8_t>((i * 31u + seed) ^ (i >> 8));
  ClearStoredOtherConfig(*p);
  return p;
}

template <typename T>
std::vector<std::uint8_t> BytesOf(const T& record) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(&record);
  return std::vector<std::uint8_t>(b, b + sizeof(T));
}

inline std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> v(size);
  for (std::size_t i = 0; i < size; ++i) v[i] = static_cast<std::uint8_t>(i * 7u + seed);
  return v;
}

}  // namespace quarn::testing
