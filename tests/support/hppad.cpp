// hppad.cpp - virtual gamepads on SDL_JoystickAttachVirtualEx, typed as game controllers so SDL
// gives them its standard mapping; the rumble callback keeps the speeds the engine sent.
#include "hppad.h"

#include "keinput.h"

namespace {

struct VirtualPad {
  bool used = false;
  SDL_JoystickID id = -1;
  SDL_Joystick* joystick = nullptr;  // our own reference, for setting the virtual state
  TestPadRumble rumble = {0, 0, 0};
};

struct PadSupport {
  VirtualPad pads[kTestPadMax];
};
PadSupport gPadSupport;  // one record per attachable pad

const struct {
  uint16_t bit;
  SDL_GameControllerButton button;
} kClassicButtons[] = {
    {PAD_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_UP},     {PAD_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {PAD_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_LEFT}, {PAD_DPAD_RIGHT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
    {PAD_START, SDL_CONTROLLER_BUTTON_START},         {PAD_BACK, SDL_CONTROLLER_BUTTON_BACK},
    {PAD_LEFT_THUMB, SDL_CONTROLLER_BUTTON_LEFTSTICK}, {PAD_RIGHT_THUMB, SDL_CONTROLLER_BUTTON_RIGHTSTICK},
    {PAD_LEFT_SHOULDER, SDL_CONTROLLER_BUTTON_LEFTSHOULDER},
    {PAD_RIGHT_SHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
    {PAD_A, SDL_CONTROLLER_BUTTON_A}, {PAD_B, SDL_CONTROLLER_BUTTON_B},
    {PAD_X, SDL_CONTROLLER_BUTTON_X}, {PAD_Y, SDL_CONTROLLER_BUTTON_Y},
};

int SDLCALL RecordRumble(void* userdata, Uint16 low, Uint16 high) {
  TestPadRumble* r = static_cast<TestPadRumble*>(userdata);
  r->low = low;
  r->high = high;
  r->calls += 1;
  return 0;
}

VirtualPad* Get(int pad) {
  if (pad < 0 || pad >= kTestPadMax || !gPadSupport.pads[pad].used) return nullptr;
  return &gPadSupport.pads[pad];
}

// Device indices shift as joysticks come and go; the instance id does not.
int DeviceIndexOf(SDL_JoystickID id) {
  for (int i = 0, n = SDL_NumJoysticks(); i < n; ++i)
    if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
  return -1;
}

// SDL maps a virtual trigger from the whole signed axis onto 0..32767; the engine then keeps
// the top eight bits of that. Walk up the axis to the first value that reads as the byte.
int16_t AxisForTriggerByte(uint8_t byte) {
  for (int a = -32768; a <= 32767; ++a) {
    float normalised = (float)(a + 32768) / 65535.0f;
    int controller = (int)(normalised * 32767);
    if (controller * 255 / 32767 >= byte) return (int16_t)a;
  }
  return 32767;
}

}  // namespace

int TestPadAttach(const char* name) {
  int slot = -1;
  for (int i = 0; i < kTestPadMax && slot < 0; ++i)
    if (!gPadSupport.pads[i].used) slot = i;
  if (slot < 0) return -1;
  VirtualPad& p = gPadSupport.pads[slot];
  p.rumble = {0, 0, 0};

  SDL_VirtualJoystickDesc desc = {};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;  // the classic pad's buttons and Guide
  desc.button_mask = (1u << desc.nbuttons) - 1;
  desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
  desc.name = name;
  desc.userdata = &p.rumble;
  desc.Rumble = RecordRumble;
  int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0) return -1;
  p.joystick = SDL_JoystickOpen(index);
  if (!p.joystick) {
    SDL_JoystickDetachVirtual(index);
    return -1;
  }
  p.id = SDL_JoystickInstanceID(p.joystick);
  p.used = true;
  // A fresh virtual axis sits at 0, which SDL reads as a half-pulled trigger.
  SDL_JoystickSetVirtualAxis(p.joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
  SDL_JoystickSetVirtualAxis(p.joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
  return slot;
}

void TestPadDetach(int pad) {
  VirtualPad* p = Get(pad);
  if (!p) return;
  int index = DeviceIndexOf(p->id);
  if (index >= 0) SDL_JoystickDetachVirtual(index);
  SDL_JoystickClose(p->joystick);
  *p = VirtualPad();
}

void TestPadDetachAll() {
  for (int i = 0; i < kTestPadMax; ++i) TestPadDetach(i);
}

void TestPadForgetAll() {
  for (VirtualPad& p : gPadSupport.pads) p = VirtualPad();
}

void TestPadSetButtonBits(int pad, uint16_t bits, bool down) {
  VirtualPad* p = Get(pad);
  for (const auto& b : kClassicButtons)
    if (p && (bits & b.bit)) SDL_JoystickSetVirtualButton(p->joystick, b.button, down ? 1 : 0);
}

void TestPadSetAxis(int pad, SDL_GameControllerAxis axis, int16_t value) {
  if (VirtualPad* p = Get(pad)) SDL_JoystickSetVirtualAxis(p->joystick, axis, value);
}

void TestPadSetTrigger(int pad, SDL_GameControllerAxis trigger, uint8_t value) {
  TestPadSetAxis(pad, trigger, AxisForTriggerByte(value));
}

TestPadRumble TestPadGetRumble(int pad) {
  VirtualPad* p = Get(pad);
  return p ? p->rumble : TestPadRumble{0, 0, 0};
}

void TestPadClearRumble(int pad) {
  if (VirtualPad* p = Get(pad)) p->rumble = {0, 0, 0};
}
