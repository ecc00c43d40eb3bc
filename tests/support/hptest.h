// hptest.h - test support: starts the real engine headless on the virtual clock with message
// boxes captured, advances frames, pushes real SDL key events, and reads back pixels.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "kegsm.h"

struct CapturedMessageBox {
  std::string text, caption;
  uint32_t style;
};

// Window, renderer and input on the virtual clock, in a window of w by h (no full screen).
// fullscreen = true keeps the start-up's switch to full screen.
bool TestEngineStart(int w = 800, int h = 600, bool fullscreen = false);
void TestEngineStop();
std::vector<CapturedMessageBox>& TestMessageBoxes();

// Registers one state whose callbacks are the given ones (null allowed) and starts on it.
void TestRunState(GameStateId id, GsmCallback load, GsmCallback init, GsmCallback update,
                  GsmCallback draw, GsmCallback free, GsmCallback unload);
// Runs n frames (with the state changes between them); false once the loop has ended.
bool TestStep(int frames = 1);

// Key events travel through SDL's queue and the engine's translation like real ones.
void TestKeyDown(int vk, bool alt = false);
void TestKeyUp(int vk, bool alt = false);
void TestPushQuit();

// The last frame's image, captured before the swap. Pixel (x, y) counts from the top-left.
void TestCaptureFrames(bool on);
uint32_t TestPixel(int x, int y);              // 0xAARRGGBB of the last captured frame
int TestFrameWidth();
int TestFrameHeight();
bool TestSaveFrame(const std::string& path);   // PNG of the last captured frame
