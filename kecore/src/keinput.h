// keinput.h - polled input: keys and mouse buttons as up / pressed this frame / held, the mouse in
// world coordinates, and four gamepads with dead zones, trigger thresholds and rumble.
#pragma once
#include <cstdint>

#include "kekeys.h"
#include "kemath.h"

enum : uint16_t {
  PAD_DPAD_UP = 0x0001, PAD_DPAD_DOWN = 0x0002, PAD_DPAD_LEFT = 0x0004, PAD_DPAD_RIGHT = 0x0008,
  PAD_START = 0x0010, PAD_BACK = 0x0020, PAD_LEFT_THUMB = 0x0040, PAD_RIGHT_THUMB = 0x0080,
  PAD_LEFT_SHOULDER = 0x0100, PAD_RIGHT_SHOULDER = 0x0200,
  PAD_A = 0x1000, PAD_B = 0x2000, PAD_X = 0x4000, PAD_Y = 0x8000,
};

enum PadSide { PAD_LEFT = 0, PAD_RIGHT = 1 };

struct PadState {
  bool connected;
  uint16_t buttons;
  uint8_t leftTrigger, rightTrigger;
  int16_t leftX, leftY, rightX, rightY;
  Vec2 leftStick, rightStick;
  float leftTriggerValue, rightTriggerValue;
  float leftMotor, rightMotor;
};

// Once per frame after the message pump: the last frame time drives the pads' 2 s poll, the
// requested window size places the mouse.
void InputUpdate(double frameTime, int windowWidth, int windowHeight);
void InputReset();
void InputClearKeys();
void InputPollPads();
void InputPadUpdate(double frameTime);

// Written by the window procedure between updates.
void InputSetKey(int slot, uint8_t down);
void InputSetMouseButton(int button, uint8_t down);
void InputSetMouseWheel(float notches);
uint8_t InputGetKeyValue(int slot);   // 0 up, 2 pressed this frame, 1 held
// A tap by a program instead of a hand (the computer player): the key goes down in the next
// InputUpdate, so it reads as pressed that frame exactly like a real press, and up in the one
// after, unless a real key-down arrived in between.
void InputInjectKey(int slot);

// A frame of input made by a program instead of read from the devices (play in step with another
// machine): while one is in use, the key and pad queries answer from it, the devices' own state
// waits aside, and the rumble of its pad i goes to the real pad rumbleTo[i] (-1: nowhere).
struct InputFrame {
  uint8_t keys[256];  // 0 up, 2 pressed this frame, 1 held
  bool padConnected[4];
  uint16_t padButtons[4], padPrevious[4];
  int8_t rumbleTo[4];
};
void InputUseFrame(const InputFrame* frame);  // null: the devices again

bool InputIsPressed(int key);
bool InputIsTriggered(int key);

bool InputMouseIsPressed(int button);
bool InputMouseIsTriggered(int button);
Vec2 InputGetMousePos();
Vec2 InputGetMouseDelta();
float InputGetMouseWheel();
bool InputIsMouseInWindow();
void InputGetMouseClient(int* x, int* y);

bool InputPadIsConnected(int pad);
bool InputPadIsPressed(int pad, uint16_t button);
bool InputPadIsTriggered(int pad, uint16_t button);
uint16_t InputPadButtonMask(uint16_t button);
Vec2 InputPadGetStick(int pad, PadSide side);
float InputPadGetTrigger(int pad, PadSide side);
const PadState* InputPadGetState(int pad);
void InputPadSetVibration(int pad, float strength);
void InputPadSetLeftMotor(int pad, float strength);
void InputPadSetRightMotor(int pad, float strength);
void InputPadStopVibration(int pad);
float InputPadGetLeftMotor(int pad);
float InputPadGetRightMotor(int pad);
