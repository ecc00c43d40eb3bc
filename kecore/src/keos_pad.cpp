// keos_pad.cpp - the OS layer's four gamepad slots on SDL's GameController API: any pad SDL
// knows, given slots in connection order, read as the classic pad's bits, sticks and triggers.
#include <SDL.h>

#include "keos.h"

namespace {

const int kSlots = 4;
// SDL rumble takes a duration; a motor here runs until it is set to 0, so long runs are renewed.
const Uint32 kRumbleMs = 60000;
const Uint64 kRumbleRenewMs = 30000;

struct PadSlot {
  SDL_GameController* controller = nullptr;
  SDL_JoystickID id = -1;
  uint16_t low = 0, high = 0;
  Uint64 rumbleSentAt = 0;
};

struct PadState {
  PadSlot slots[kSlots];
};
PadState gPads;

const struct {
  SDL_GameControllerButton button;
  uint16_t bit;
} kButtonBits[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, 0x0001},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0x0002},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0x0004},   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0x0008},
    {SDL_CONTROLLER_BUTTON_START, 0x0010},       {SDL_CONTROLLER_BUTTON_BACK, 0x0020},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, 0x0040},   {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 0x0080},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0x0100}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 0x0200},
    {SDL_CONTROLLER_BUTTON_A, 0x1000},           {SDL_CONTROLLER_BUTTON_B, 0x2000},
    {SDL_CONTROLLER_BUTTON_X, 0x4000},           {SDL_CONTROLLER_BUTTON_Y, 0x8000},
};

bool InUse(SDL_JoystickID id) {
  for (const PadSlot& s : gPads.slots)
    if (s.controller && s.id == id) return true;
  return false;
}

void CloseSlot(PadSlot& slot) {
  if (slot.controller) SDL_GameControllerClose(slot.controller);
  slot = PadSlot();
}

// An empty slot takes the oldest attached controller that no slot holds yet.
void FillSlot(PadSlot& slot) {
  if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return;
  SDL_GameControllerUpdate();
  int n = SDL_NumJoysticks();
  for (int i = 0; i < n; ++i) {
    if (!SDL_IsGameController(i) || InUse(SDL_JoystickGetDeviceInstanceID(i))) continue;
    SDL_GameController* gc = SDL_GameControllerOpen(i);
    if (!gc) continue;
    slot.controller = gc;
    slot.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(gc));
    return;
  }
}

int16_t AxisUp(Sint16 v) {  // SDL's y grows downward
  return v == -32768 ? 32767 : (int16_t)-v;
}

uint8_t TriggerByte(Sint16 v) {
  return v <= 0 ? 0 : (uint8_t)((v * 255) / 32767);
}

void RenewRumble(PadSlot& slot) {
  if (slot.low == 0 && slot.high == 0) return;
  if (SDL_GetTicks64() - slot.rumbleSentAt < kRumbleRenewMs) return;
  SDL_GameControllerRumble(slot.controller, slot.low, slot.high, kRumbleMs);
  slot.rumbleSentAt = SDL_GetTicks64();
}

}  // namespace

bool OsPadQuery(int index, OsPadRaw* out) {
  if (index < 0 || index >= kSlots) return false;
  PadSlot& slot = gPads.slots[index];
  // A pad that left fails this query; only a later query (the poll of empty slots) refills
  // the slot, so a waiting pad cannot slip in the same frame.
  if (slot.controller && !SDL_GameControllerGetAttached(slot.controller)) {
    CloseSlot(slot);
    return false;
  }
  if (!slot.controller) FillSlot(slot);
  if (!slot.controller) return false;
  SDL_GameController* gc = slot.controller;
  OsPadRaw raw = {};
  for (const auto& b : kButtonBits)
    if (SDL_GameControllerGetButton(gc, b.button)) raw.buttons |= b.bit;
  raw.leftX = SDL_GameControllerGetAxis(gc, SDL_CONTROLLER_AXIS_LEFTX);
  raw.leftY = AxisUp(SDL_GameControllerGetAxis(gc, SDL_CONTROLLER_AXIS_LEFTY));
  raw.rightX = SDL_GameControllerGetAxis(gc, SDL_CONTROLLER_AXIS_RIGHTX);
  raw.rightY = AxisUp(SDL_GameControllerGetAxis(gc, SDL_CONTROLLER_AXIS_RIGHTY));
  raw.leftTrigger = TriggerByte(SDL_GameControllerGetAxis(gc, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
  raw.rightTrigger = TriggerByte(SDL_GameControllerGetAxis(gc, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
  RenewRumble(slot);
  if (out) *out = raw;
  return true;
}

void OsPadRumble(int index, uint16_t low, uint16_t high) {
  if (index < 0 || index >= kSlots || !gPads.slots[index].controller) return;
  PadSlot& slot = gPads.slots[index];
  slot.low = low;
  slot.high = high;
  SDL_GameControllerRumble(slot.controller, low, high, low || high ? kRumbleMs : 0);
  slot.rumbleSentAt = SDL_GetTicks64();
}

void OsPadCloseAll() {
  for (PadSlot& s : gPads.slots) CloseSlot(s);
}
