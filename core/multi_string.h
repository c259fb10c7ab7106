// Registry multi-string values (a device's hardware IDs, its filter drivers)
// turned into lists, from the raw bytes the system returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarn {

// Largest property value read; longer values are cut here.
constexpr std::size_t kMaxDevicePropertyBytes = 32768;

// One entry per string of a UTF-16LE multi-string (or a single string). An
// odd last byte is ignored, a missing final terminator ends the last string,
// an empty string ends the list, and at most kMaxDevicePropertyBytes are read.
std::vector<std::u16string> ParseMultiString(const std::uint8_t* data, std::size_t size);

}  // namespace quarn
