// online_input.cpp - this machine's player's presses read from either player's keys and
// gamepad 1, and a played frame's input built from both seats' presses.
#include "online/online_input.h"

#include <cstring>

#include "battle/controls.h"
#include "keinput.h"

namespace {

// The battle's controls in the order of their presses from OP_Up.
const Control kControls[] = {CTL_Up, CTL_Down, CTL_Next, CTL_Previous, CTL_SummonA,
                             CTL_SummonB, CTL_SummonX, CTL_SummonY, CTL_Cast};
const int kControlCount = sizeof kControls / sizeof kControls[0];

uint32_t ControlPress(int i) { return OP_Up << i; }

// Either player's key for a control, in either set: this machine's player may use any of them.
bool AnyPressed(Control c) {
  for (int set = 0; set < kControlKeySets; ++set)
    for (int seat = 0; seat < 2; ++seat)
      if (int key = ControlsKey(seat, c, set); key && InputIsPressed(key)) return true;
  return false;
}

bool AnySeatPressed(SeatControl c) {
  for (int set = 0; set < kControlKeySets; ++set)
    for (int seat = 0; seat < 2; ++seat)
      if (int key = ControlsSeatKey(seat, c, set); key && InputIsPressed(key)) return true;
  return false;
}

void SetKey(InputFrame& f, int key, bool now, bool before) {
  if (key > 0 && key < 256 && now) f.keys[key] = before ? 1 : 2;
}

void SetPress(InputFrame& f, int key, uint32_t press, uint32_t now, uint32_t before) {
  SetKey(f, key, (now & press) != 0, (before & press) != 0);
}

}  // namespace

uint32_t OnlineInputRead() {
  uint32_t presses = 0;
  for (int i = 0; i < kControlCount; ++i)
    if (AnyPressed(kControls[i])) presses |= ControlPress(i);
  if (AnySeatPressed(SEAT_Pause)) presses |= OP_Pause;
  if (AnySeatPressed(SEAT_Ranges)) presses |= OP_Ranges;
  if (InputIsPressed(VK_SPACE)) presses |= OP_Confirm;
  for (uint16_t bit = 1; bit; bit = (uint16_t)(bit << 1))
    if ((bit & kOnlinePadMask) && InputPadIsPressed(0, bit)) presses |= bit;
  return presses;
}

void OnlineInputBuild(InputFrame& f, const uint32_t now[2], const uint32_t before[2],
                      int spaceFor, int localSeat) {
  memset(&f, 0, sizeof f);
  for (int seat = 0; seat < 2; ++seat) {
    uint32_t n = now[seat], b = before[seat];
    for (int i = 0; i < kControlCount; ++i)
      SetPress(f, ControlsKey(seat, kControls[i]), ControlPress(i), n, b);
    SetPress(f, ControlsSeatKey(seat, SEAT_Pause), OP_Pause, n, b);
    SetPress(f, ControlsSeatKey(seat, SEAT_Ranges), OP_Ranges, n, b);
    if (seat == spaceFor) SetPress(f, VK_SPACE, OP_Confirm, n, b);
    f.padConnected[seat] = true;
    f.padButtons[seat] = (uint16_t)(n & kOnlinePadMask);
    f.padPrevious[seat] = (uint16_t)(b & kOnlinePadMask);
  }
  for (int pad = 0; pad < 4; ++pad) f.rumbleTo[pad] = pad == localSeat ? 0 : -1;
}
