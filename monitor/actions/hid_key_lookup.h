// The key that belongs to a HID usage, looked up in the two key tables.
#pragma once

#include <cstdint>

#include "key_tables.h"

// Row := the first row of KeyboardTableE0, else of KeyboardTableE1, whose
// HIDCode and Extended equal the arguments; without a match the empty row
// (VKCode 0, Extended 224, HIDCode 0, empty texts). The tables are built first
// when needed.
void FindKeyByHIDCode(std::int32_t HIDCode, std::int32_t Extended, TKeyboardInfoTable& Row);

// The group marker the monitor passes to FindKeyByHIDCode.
constexpr std::int32_t HID_LOOKUP_GROUP = KEY_GROUP_E1;
