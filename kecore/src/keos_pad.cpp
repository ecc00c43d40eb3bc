// keos_pad.cpp - the OS layer's gamepad slots on SDL's GameController API.
// Placeholder until pads arrive: every slot is empty and rumble goes nowhere.
#include "keos.h"

bool OsPadQuery(int, OsPadRaw*) {
  return false;
}

void OsPadRumble(int, uint16_t, uint16_t) {}
