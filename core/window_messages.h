// Window messages between the configuration program and the monitor, and the
// monitor's own. None carries data beyond its parameters: each announces a
// change whose data lies in the registry and the profile files.
#pragma once

#include <cstdint>

enum : std::uint32_t {
  WM_SETTINGS_APPLIED = 7035,        // config -> monitor: reload everything
  WM_TERMINATE_CONFIG = 7036,        // monitor -> config (posted): end
  WM_LANGUAGE_CHANGED = 7037,        // config -> monitor: wParam language index
  WM_RELOAD_CURRENT_PROFILE = 7038,  // handled by the configuration window
  WM_PROFILE_SWITCHED = 7040,        // monitor -> config: wParam profile index
  WM_EXTERNAL_COMMAND = 7524,        // outside -> monitor: wParam command
  WM_BUTTON_ACTION = 7624,           // monitor -> itself: wParam button index, lParam state
};
