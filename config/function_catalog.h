// The vocabulary of button functions: the function menu's items by ID (their
// design captions, the sub-menus and the leaves), what a chosen ID stores
// (kind and function code, or a dialog first), and the lookups between menu
// IDs and function codes. IDs follow the menu's tree: n at the top level,
// parent * 100 + n below, positions counted from 1.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quarn {

// One item of a menu level; a sub-menu row has sub-items.
struct FunctionMenuNode {
  std::u16string_view Caption;
  std::span<const FunctionMenuNode> Sub{};
};

// The function menu's top level, in order (item n has ID n).
std::span<const FunctionMenuNode> FunctionMenuItems();
// The wheel menu's items, in order (item n has ID n).
std::span<const FunctionMenuNode> WheelMenuItems();

// The item an ID reaches in `level`: 1..99 one level, 100..9999 two, 10000..999999
// three. Null for 0, a negative ID, 1000000 and above, or any position beyond its
// level (a sub position 0 included).
const FunctionMenuNode* FindMenuItem(std::span<const FunctionMenuNode> level, std::int64_t id);

// What choosing an ID in the function menu stores.
enum class FunctionChoice {
  None,         // a sub-menu row or an ID the menu does not have: nothing is stored
  Basic,        // kind 1, the ID's function code
  ComboKey,     // the key-combination dialog, then kind 3
  QuickLaunch,  // the quick-launch dialog, then kind 2
  FireKey,      // the fire-key dialog, then kind 5
  Macro,        // the macro editor, then kind 4
};
FunctionChoice ChoiceOfMenuID(std::int64_t id);

// The function code of the first row of the function code table with this
// menu ID; otherwise the ID itself.
std::int32_t FunctionCodeOfMenuID(std::int32_t id);
// The menu ID of a function code's row; -1 for a code outside the table.
std::int32_t DefaultMenuIDOfFunctionCode(std::int32_t code);

}  // namespace quarn
