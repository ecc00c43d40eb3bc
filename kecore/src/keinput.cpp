// keinput.cpp - per-frame key, mouse and gamepad states. The window procedure writes raw
// transitions; InputUpdate turns them into "pressed this frame" and "held".
#include "keinput.h"

#include <cmath>
#include <cstring>

#include "keos.h"

namespace {

const int kPads = 4;

struct InputState {
  uint8_t keys[256], prevKeys[256];
  uint8_t mouse[3], prevMouse[3];
  float wheelPending, wheel;
  Vec2 mousePos, prevMousePos, mouseDelta;
  int mouseClientX, mouseClientY;
  bool mouseInside;
  PadState pads[kPads], prevPads[kPads];
  double pollTimer;
  bool injected[256];  // a tap waiting for the next InputUpdate
  bool tapped[256];    // went down by a tap; released by the InputUpdate after
  const InputFrame* frame;  // made by a program: the queries answer from it
};
InputState gInput;

void StepTransitions(uint8_t* cur, const uint8_t* prev, uint8_t* prevOut, int n) {
  for (int i = 0; i < n; ++i) {
    if (cur[i] != 0) cur[i] = prev[i] != 0 ? 1 : 2;
    prevOut[i] = cur[i];
  }
}

void CopyRaw(PadState& pad, const OsPadRaw& raw) {
  pad.buttons = raw.buttons;
  pad.leftTrigger = raw.leftTrigger;
  pad.rightTrigger = raw.rightTrigger;
  pad.leftX = raw.leftX;
  pad.leftY = raw.leftY;
  pad.rightX = raw.rightX;
  pad.rightY = raw.rightY;
}

Vec2 NormaliseStick(int16_t rx, int16_t ry, float deadZone) {
  float x = rx, y = ry;
  float m = std::sqrt(x * x + y * y);
  Vec2 dir = {0, 0};
  if (!(m > -0.00001f && m < 0.00001f)) dir = {x / m, y / m};
  if (m <= deadZone) return {0, 0};
  float k = (std::fmin(m, 32767.0f) - deadZone) / (32767.0f - deadZone);
  return {dir.x * k, dir.y * k};
}

float NormaliseTrigger(uint8_t t) {
  return t >= 30 ? (t - 30) / (255.0f - 30.0f) : 0.0f;
}

bool ValidPad(int pad) {
  return pad >= 0 && pad < kPads;
}

// The real pad a rumble request for `pad` reaches, or -1.
int RumbleTarget(int pad) {
  if (!ValidPad(pad)) return -1;
  int target = gInput.frame ? gInput.frame->rumbleTo[pad] : pad;
  return ValidPad(target) && gInput.pads[target].connected ? target : -1;
}

const uint8_t* KeyValues() {
  return gInput.frame ? gInput.frame->keys : gInput.keys;
}

void SendMotors(int pad) {
  PadState& p = gInput.pads[pad];
  OsPadRumble(pad, (uint16_t)(p.leftMotor * 65535), (uint16_t)(p.rightMotor * 65535));
}

float Clamp01(float s) {
  return s < 0 ? 0 : (s > 1 ? 1 : s);
}

// A tapped key still at "pressed this frame" was not touched by the window since: release it.
// A real key-down in between wrote 1 there, and that press stays. A tap waits while the key is
// down or was down in the last frame (by hand or by a tap), so it always reads as a new press.
void ApplyTaps() {
  for (int i = 0; i < 256; ++i) {
    if (gInput.tapped[i] && gInput.keys[i] == 2) gInput.keys[i] = 0;
    gInput.tapped[i] = false;
    if (!gInput.injected[i] || gInput.keys[i] != 0 || gInput.prevKeys[i] != 0) continue;
    gInput.injected[i] = false;
    gInput.keys[i] = 1;
    gInput.tapped[i] = true;
  }
}

}  // namespace

void InputClearKeys() {
  memset(gInput.injected, 0, sizeof gInput.injected);
  memset(gInput.tapped, 0, sizeof gInput.tapped);
  memset(gInput.keys, 0, sizeof gInput.keys);
  memset(gInput.prevKeys, 0, sizeof gInput.prevKeys);
  memset(gInput.mouse, 0, sizeof gInput.mouse);
  memset(gInput.prevMouse, 0, sizeof gInput.prevMouse);
}

void InputSetKey(int slot, uint8_t down) {
  if (slot >= 0 && slot < 256) gInput.keys[slot] = down;
}

void InputSetMouseButton(int button, uint8_t down) {
  if (button >= 0 && button < 3) gInput.mouse[button] = down;
}

void InputSetMouseWheel(float notches) {
  gInput.wheelPending = notches;
}

void InputInjectKey(int slot) {
  if (slot >= 0 && slot < 256) gInput.injected[slot] = true;
}

uint8_t InputGetKeyValue(int slot) {
  return slot >= 0 && slot < 256 ? KeyValues()[slot] : 0;
}

void InputUseFrame(const InputFrame* frame) {
  gInput.frame = frame;
}

void InputUpdate(double frameTime, int windowWidth, int windowHeight) {
  int px = 0, py = 0;
  OsGetMouseState(&px, &py);
  float w = (float)windowWidth, h = (float)windowHeight;
  gInput.mouseClientX = px;
  gInput.mouseClientY = py;
  gInput.mouseInside = px >= 0 && px <= w && py >= 0 && py <= h;
  gInput.wheel = gInput.wheelPending;
  gInput.wheelPending = 0;
  gInput.mousePos = {px - w * 0.5f, h * 0.5f - py};
  gInput.mouseDelta = {gInput.mousePos.x - gInput.prevMousePos.x, gInput.mousePos.y - gInput.prevMousePos.y};
  gInput.prevMousePos = gInput.mousePos;

  ApplyTaps();
  StepTransitions(gInput.keys, gInput.prevKeys, gInput.prevKeys, 256);
  StepTransitions(gInput.mouse, gInput.prevMouse, gInput.prevMouse, 3);
  InputPadUpdate(frameTime);
}

void InputPadUpdate(double frameTime) {
  memcpy(gInput.prevPads, gInput.pads, sizeof gInput.pads);
  gInput.pollTimer += frameTime;
  if (gInput.pollTimer >= 2.0) {
    InputPollPads();
    gInput.pollTimer -= 2.0;
  } else {
    for (int i = 0; i < kPads; ++i) {
      PadState& p = gInput.pads[i];
      if (!p.connected) continue;
      OsPadRaw raw;
      if (OsPadQuery(i, &raw)) CopyRaw(p, raw);
      else p.connected = false;
    }
  }
  for (int i = 0; i < kPads; ++i) {
    PadState& p = gInput.pads[i];
    if (!p.connected) continue;
    p.leftStick = NormaliseStick(p.leftX, p.leftY, 7849.0f);
    p.rightStick = NormaliseStick(p.rightX, p.rightY, 8689.0f);
    p.leftTriggerValue = NormaliseTrigger(p.leftTrigger);
    p.rightTriggerValue = NormaliseTrigger(p.rightTrigger);
  }
}

void InputPollPads() {
  for (int i = 0; i < kPads; ++i) {
    OsPadRaw raw = {};
    PadState& p = gInput.pads[i];
    p.connected = OsPadQuery(i, &raw);
    if (p.connected) CopyRaw(p, raw);
  }
}

void InputReset() {
  for (int i = 0; i < kPads; ++i) {
    if (!gInput.pads[i].connected) continue;
    gInput.pads[i].leftMotor = gInput.pads[i].rightMotor = 0;
    OsPadRumble(i, 0, 0);
  }
  memset(gInput.pads, 0, sizeof gInput.pads);
  memset(gInput.prevPads, 0, sizeof gInput.prevPads);
  InputPollPads();
  gInput.pollTimer = 0;
}

bool InputIsPressed(int key) {
  return key >= 0 && key < 256 && KeyValues()[key] != 0;
}

bool InputIsTriggered(int key) {
  return key >= 0 && key < 256 && KeyValues()[key] == 2;
}

bool InputMouseIsPressed(int button) {
  return button >= 0 && button < 3 && gInput.mouse[button] != 0;
}

bool InputMouseIsTriggered(int button) {
  return button >= 0 && button < 3 && gInput.mouse[button] == 2;
}

Vec2 InputGetMousePos() {
  return gInput.mousePos;
}

Vec2 InputGetMouseDelta() {
  return gInput.mouseDelta;
}

float InputGetMouseWheel() {
  return gInput.wheel;
}

bool InputIsMouseInWindow() {
  return gInput.mouseInside;
}

void InputGetMouseClient(int* x, int* y) {
  *x = gInput.mouseClientX;
  *y = gInput.mouseClientY;
}

bool InputPadIsConnected(int pad) {
  if (!ValidPad(pad)) return false;
  return gInput.frame ? gInput.frame->padConnected[pad] : gInput.pads[pad].connected;
}

uint16_t InputPadButtonMask(uint16_t button) {
  switch (button) {
    case PAD_DPAD_UP: case PAD_DPAD_DOWN: case PAD_DPAD_LEFT: case PAD_DPAD_RIGHT:
    case PAD_START: case PAD_BACK: case PAD_LEFT_THUMB: case PAD_RIGHT_THUMB:
    case PAD_LEFT_SHOULDER: case PAD_RIGHT_SHOULDER: case PAD_A: case PAD_B: case PAD_X: case PAD_Y:
      return button;
    default:
      return 0;
  }
}

bool InputPadIsPressed(int pad, uint16_t button) {
  uint16_t mask = InputPadButtonMask(button);
  if (!InputPadIsConnected(pad)) return false;
  uint16_t now = gInput.frame ? gInput.frame->padButtons[pad] : gInput.pads[pad].buttons;
  return (now & mask) != 0;
}

bool InputPadIsTriggered(int pad, uint16_t button) {
  uint16_t mask = InputPadButtonMask(button);
  if (!InputPadIsPressed(pad, button)) return false;
  uint16_t before = gInput.frame ? gInput.frame->padPrevious[pad] : gInput.prevPads[pad].buttons;
  return (before & mask) == 0;
}

// A made frame has buttons only: its sticks and triggers rest.
Vec2 InputPadGetStick(int pad, PadSide side) {
  if (!InputPadIsConnected(pad) || gInput.frame) return {0, 0};
  return side == PAD_LEFT ? gInput.pads[pad].leftStick : gInput.pads[pad].rightStick;
}

float InputPadGetTrigger(int pad, PadSide side) {
  if (!InputPadIsConnected(pad) || gInput.frame) return 0;
  return side == PAD_LEFT ? gInput.pads[pad].leftTriggerValue : gInput.pads[pad].rightTriggerValue;
}

const PadState* InputPadGetState(int pad) {
  return ValidPad(pad) ? &gInput.pads[pad] : nullptr;
}

void InputPadSetVibration(int pad, float strength) {
  int to = RumbleTarget(pad);
  if (to < 0) return;
  float s = Clamp01(strength);
  gInput.pads[to].leftMotor = gInput.pads[to].rightMotor = s;
  SendMotors(to);
}

void InputPadSetLeftMotor(int pad, float strength) {
  int to = RumbleTarget(pad);
  if (to < 0) return;
  gInput.pads[to].leftMotor = Clamp01(strength);
  SendMotors(to);
}

void InputPadSetRightMotor(int pad, float strength) {
  int to = RumbleTarget(pad);
  if (to < 0) return;
  gInput.pads[to].rightMotor = Clamp01(strength);
  SendMotors(to);
}

void InputPadStopVibration(int pad) {
  int to = RumbleTarget(pad);
  if (to < 0) return;
  gInput.pads[to].leftMotor = gInput.pads[to].rightMotor = 0;
  SendMotors(to);
}

float InputPadGetLeftMotor(int pad) {
  return ValidPad(pad) ? gInput.pads[pad].leftMotor : 0;
}

float InputPadGetRightMotor(int pad) {
  return ValidPad(pad) ? gInput.pads[pad].rightMotor : 0;
}
