// hpdisplay.h - a private X server of a chosen size, optionally with a window manager, for tests
// that need a display other than the shared one (another size, or minimising and focus).
#pragma once

// Starts the server (and openbox when windowManager is true) and points DISPLAY at it; the
// engine must be started after this. False when the server or manager cannot be started.
bool TestPrivateDisplayStart(int width, int height, bool windowManager);
// Stops both and puts the previous DISPLAY back.
void TestPrivateDisplayStop();
