#include "collection_naming.h"

#include "ini_file.h"

namespace quarn {

namespace {

std::u16string Decimal(std::uint32_t n) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
    n /= 10;
  } while (n != 0);
  return digits;
}

}  // namespace

DefaultItemName LowestFreeItemName(const std::vector<std::u16string_view>& names,
                                   std::u16string_view prefix) {
  for (std::uint32_t n = 1;; ++n) {
    std::u16string candidate = std::u16string(prefix) + Decimal(n);
    bool used = false;
    for (auto it = names.rbegin(); it != names.rend() && !used; ++it)
      used = EqualsIgnoreCase(*it, candidate);
    if (!used) return {std::move(candidate), n};
  }
}

}  // namespace quarn
