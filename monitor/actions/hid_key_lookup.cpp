#include "hid_key_lookup.h"

#include <vector>

namespace {

const TKeyboardInfoTable* FindIn(const std::vector<TKeyboardInfoTable>& table, std::int32_t hidCode,
                                 std::int32_t extended) {
  for (const auto& row : table)
    if (row.HIDCode == hidCode && row.Extended == extended) return &row;
  return nullptr;
}

}  // namespace

void FindKeyByHIDCode(std::int32_t HIDCode, std::int32_t Extended, TKeyboardInfoTable& Row) {
  Row = TKeyboardInfoTable{u"", 0, 0, KEY_GROUP_E0, 0, u""};
  const TKeyboardInfoTable* found = FindIn(KeyboardTableE0(), HIDCode, Extended);
  if (!found) found = FindIn(KeyboardTableE1(), HIDCode, Extended);
  if (found) Row = *found;
}
