// hppad.h - virtual gamepads for tests: SDL virtual joysticks that the engine opens through the
// game-controller API like real pads, with their buttons, sticks, triggers and rumble speeds.
#pragma once
#include <SDL.h>

#include <cstdint>

// The engine must be started (SDL up) before the first attach. Detach every pad before the
// engine stops: SDL frees virtual joysticks at shut-down behind our back.
const int kTestPadMax = 8;

// Attaches a new pad and returns its handle (0..kTestPadMax-1), or -1. Sticks centred, triggers
// released, no button down. The engine finds it at its next poll of empty slots.
int TestPadAttach(const char* name = "Test Pad");
void TestPadDetach(int pad);
void TestPadDetachAll();
// After the engine stopped with pads still attached: SDL already freed them, drop our records.
void TestPadForgetAll();

// Buttons by the classic bit value (PAD_A, PAD_DPAD_UP, ...); bits outside the table set nothing.
void TestPadSetButtonBits(int pad, uint16_t bits, bool down);
// Stick axes as SDL reports them: y grows downward.
void TestPadSetAxis(int pad, SDL_GameControllerAxis axis, int16_t value);
// Trigger by the byte the classic pad reports (0..255): the smallest pull that reads as it.
void TestPadSetTrigger(int pad, SDL_GameControllerAxis trigger, uint8_t value);

// The last motor speeds SDL handed to the pad (low-frequency, high-frequency) and how many times
// it did. SDL only calls through when the speeds change (or to refresh them every two seconds).
struct TestPadRumble {
  uint16_t low, high;
  int calls;
};
TestPadRumble TestPadGetRumble(int pad);
void TestPadClearRumble(int pad);
