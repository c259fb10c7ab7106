#include "multi_string.h"

#include <algorithm>

namespace quarn {

std::vector<std::u16string> ParseMultiString(const std::uint8_t* data, std::size_t size) {
  std::vector<std::u16string> list;
  if (data == nullptr) return list;
  const std::size_t units = std::min(size, kMaxDevicePropertyBytes) / 2;
  std::u16string current;
  for (std::size_t i = 0; i < units; ++i) {
    const auto c = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (c != 0) {
      current.push_back(c);
      continue;
    }
    if (current.empty()) return list;  // the double terminator
    list.push_back(std::move(current));
    current.clear();
  }
  if (!current.empty()) list.push_back(std::move(current));
  return list;
}

}  // namespace quarn
