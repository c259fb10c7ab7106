// Running a scene window modally: its owner is disabled while it runs, and the run ends
// when the scene gets a modal result, when the window is closed (2), or when the
// program is asked to quit (2, and the quit is passed on so the program still ends).
#pragma once

#include "scene_window.h"

namespace quarn::ui {

// Shows `window` activated and pumps this thread's messages until the run ends; returns
// the modal result. The owner (may be null) is enabled again before the window hides,
// so the activation goes back to it rather than to another program. Any modal result
// set before the run is cleared first. Never throws.
int RunModal(SceneWindow& window, HWND owner);

}  // namespace quarn::ui
