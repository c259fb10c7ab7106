// Bringing a window of this program to the front, even when another program's window
// is in front and the system would only flash the task-bar button.
#pragma once

#include "gdiplus_include.h"

namespace quarn::ui {

// Restores `hwnd` when minimised and makes it the foreground window: at once when it
// already is; else by attaching this thread's input to the foreground window's thread;
// else by lifting the foreground lock time-out for the moment of the call (the
// system-wide setting is put back whatever happens). True when `hwnd` is the foreground
// window afterwards.
bool ForceWindowToForeground(HWND hwnd);

}  // namespace quarn::ui
