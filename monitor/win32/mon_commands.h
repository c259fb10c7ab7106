// Command identifiers of the monitor's tray menu (WM_COMMAND wParam), shared
// with the tests that drive the menu.
#pragma once

enum MonitorMenuCommand : unsigned {
  IDM_SWITCH_TO_NEXT_PROFILE = 100,
  IDM_PROFILE_FIRST = 101,  // "Profile 1" .. "Profile 5": 101 .. 105
  IDM_CONFIG = 110,
  IDM_ABOUT = 111,
  IDM_EXIT = 112,
};
