// hpscreens.h - test support for the game's screens: the real game started on one screen, keys
// pressed for one frame, objects found by their picture, pixels counted in reference units.
#pragma once
#include <string>
#include <vector>

#include "kegsm.h"

class GameObject;

// Engine at 1920 by 1080 in full screen (scale 1.8, first's flag set), or in a window of w by h
// (scale 1, first's flag clear; the default shows only the middle of the board but draws fast),
// gAudio on, every screen registered, the state manager started on first. The first frame is not
// run yet.
bool ScreensStart(GameStateId first, bool fullscreen = true, int w = 320, int h = 240);
// Leaves full screen for a small window, so that long waits draw fast. The screens' own flags,
// and so their scales, stay as they are.
void ScreensShrinkWindow();
// Quits through the state manager (the current screen frees and unloads), then stops it all.
void ScreensStop();

// Key down for one frame, then up for one frame: one press, two frames.
void ScreensPress(int vk);

// The objects of a state's list drawn with the picture loaded from path (null: no picture), in
// list order; only alive ones unless all is true.
std::vector<GameObject*> ScreensObjects(GameStateId id, const char* path, bool all = false);
// The only such object; fails the test (and returns null) when there is not exactly one.
GameObject* ScreensObject(GameStateId id, const char* path);
bool ScreensShown(const GameObject* o);  // alive and visible

// Pixels of the last captured frame inside a rectangle given in reference units (centre origin,
// y up, at the current screen's scale) whose colour is within tolerance of rgb in every channel.
int ScreensCountPixels(float x0, float y0, float x1, float y1, unsigned rgb, int tolerance = 8);
// Saves the last captured frame as /tmp/screens-<name>.png.
void ScreensSaveShot(const std::string& name);
