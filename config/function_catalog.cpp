#include "function_catalog.h"

#include <array>

#include "function_ids.h"
#include "shared_tables.h"

namespace quarn {
namespace {

using N = FunctionMenuNode;

constexpr std::array<N, 12> kWindowsShortcut = {{
    {u"Shut Down"},
    {u"Hibernate"},
    {u"Browser Search"},
    {u"HomePage"},
    {u"Refresh"},
    {u"My Computer"},
    {u"Stop"},
    {u"Backward"},
    {u"Forward"},
    {u"My Favorite"},
    {u"EMail"},
    {u"Calculator"},
}};

constexpr std::array<N, 9> kWin8Shortcut = {{
    {u"WIN+Q Software Menu"},
    {u"WIN+U Easy Setting Center"},
    {u"WIN+I Setting"},
    {u"WIN+R Command"},
    {u"WIN+X Right Click Win Key"},
    {u"WIN+F Search"},
    {u"WIN+D Minimize Windows"},
    {u"WIN+E My Computer"},
    {u"WIN+C Charm Menu"},
}};

constexpr std::array<N, 8> kMediaShortcut = {{
    {u"Mute"},
    {u"Volume Up"},
    {u"Volume Down"},
    {u"Next Track"},
    {u"Previous Track"},
    {u"Stop"},
    {u"Play/Pause"},
    {u"Media Player"},
}};

constexpr std::array<N, 7> kOfficeShortcut = {{
    {u"Open Word"},
    {u"Open Excel"},
    {u"Ctrl+X Cut"},
    {u"Ctrl+V Paste"},
    {u"Ctrl+C Copy"},
    {u"Ctrl+A Select All"},
    {u"Ctrl+P Print"},
}};

constexpr std::array<N, 21> kFunctionMenu = {{
    {u"Click"},
    {u"Right Click"},
    {u"Middle Click"},
    {u"Forward"},
    {u"Backward"},
    {u"Scroll Up"},
    {u"Scroll Down"},
    {u"Scroll Left"},
    {u"Scroll Right"},
    {u"Windows Shortcut", kWindowsShortcut},
    {u"WIN8 Shortcut", kWin8Shortcut},
    {u"Media Shortcut", kMediaShortcut},
    {u"Office Shortcut", kOfficeShortcut},
    {u"Virtual Keyboard..."},
    {u"Quick Launch..."},
    {u"Profile Cycle"},
    {u"Fire Key..."},
    {u"Macro Key..."},
    {u"Open Driver"},
    {u"Double Click"},
    {u"Disabled"},
}};

constexpr std::array<N, 6> kWheelMenu = {{
    {u"Scroll Up"},
    {u"Scroll Down"},
    {u"Volume Up"},
    {u"Volume Down"},
    {u"Backward"},
    {u"Forward"},
}};

const N* At(std::span<const N> level, std::int64_t position) {
  if (position < 1 || position > static_cast<std::int64_t>(level.size())) return nullptr;
  return &level[static_cast<std::size_t>(position - 1)];
}

}  // namespace

std::span<const FunctionMenuNode> FunctionMenuItems() {
  return kFunctionMenu;
}
std::span<const FunctionMenuNode> WheelMenuItems() {
  return kWheelMenu;
}

const FunctionMenuNode* FindMenuItem(std::span<const FunctionMenuNode> level, std::int64_t id) {
  if (id <= 0 || id >= 1000000) return nullptr;
  // The positions from the top level down.
  std::int64_t positions[3];
  int depth = 0;
  if (id < 100) {
    positions[depth++] = id;
  } else if (id < 10000) {
    positions[depth++] = id / 100;
    positions[depth++] = id % 100;
  } else {
    positions[depth++] = id / 10000;
    positions[depth++] = id / 100 % 100;
    positions[depth++] = id % 100;
  }
  const N* item = nullptr;
  for (int k = 0; k < depth; ++k) {
    item = At(k == 0 ? level : item->Sub, positions[k]);
    if (!item) return nullptr;
  }
  return item;
}

FunctionChoice ChoiceOfMenuID(std::int64_t id) {
  const N* item = FindMenuItem(kFunctionMenu, id);
  if (!item || !item->Sub.empty()) return FunctionChoice::None;
  switch (id) {
    case MENUID_VIRTUAL_KEYBOARD:
      return FunctionChoice::ComboKey;
    case MENUID_QUICK_LAUNCH:
      return FunctionChoice::QuickLaunch;
    case MENUID_FIRE_KEY:
      return FunctionChoice::FireKey;
    case MENUID_MACRO_KEY:
      return FunctionChoice::Macro;
    default:
      return FunctionChoice::Basic;
  }
}

std::int32_t FunctionCodeOfMenuID(std::int32_t id) {
  for (const TFunctionCodeEntry& row : FunctionCodeTable)
    if (row.MenuID == id) return row.FunctionCode;
  return id;
}

std::int32_t DefaultMenuIDOfFunctionCode(std::int32_t code) {
  const TFunctionCodeEntry* row = FindFunctionCode(code);
  return row ? row->MenuID : -1;
}

}  // namespace quarn
