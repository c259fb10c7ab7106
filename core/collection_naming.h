// The default names given to unnamed items of the named collections: a prefix
// and the lowest number that no item of the collection uses yet.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarn {

struct DefaultItemName {
  std::u16string name;
  std::uint32_t number;
};

// `names` are the item names in collection order; they are compared with the
// candidates "<prefix>1", "<prefix>2", ... without regard to case.
DefaultItemName LowestFreeItemName(const std::vector<std::u16string_view>& names,
                                   std::u16string_view prefix);

}  // namespace quarn
