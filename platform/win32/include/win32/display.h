#pragma once
// Putting the program's windows on a display. Not part of windows.h: only the program's
// start-up calls it.
#include "win32/wintypes.h"

// Shows the top-level windows on the X display that DISPLAY names, or keeps them on the
// headless screen when DISPLAY is not set. CORVANE_DISPLAY overrides the choice: "x11" asks for
// the X display, "headless" for none. Call on the thread that runs the message loop: the display
// is served whenever that thread waits for messages. FALSE, with the reason on stderr, when the
// display cannot be opened or CORVANE_DISPLAY is not understood. Once a display runs, further
// calls return TRUE.
BOOL StartDisplayBackend();
