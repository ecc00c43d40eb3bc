// online_input.h - a player's presses as they cross the network: what this machine's player
// holds (either player's keys, gamepad 1), and the frame of input both machines build from two
// seats' presses, in the keys and pads each seat has on one keyboard.
#pragma once
#include <cstdint>

struct InputFrame;

// The low 16 bits are gamepad buttons (the pad's own bits); above them the keyboard's controls.
enum OnlinePress : uint32_t {
  OP_Up = 1u << 16, OP_Down = 1u << 17, OP_Next = 1u << 18, OP_Previous = 1u << 19,
  OP_SummonA = 1u << 20, OP_SummonB = 1u << 21, OP_SummonX = 1u << 22, OP_SummonY = 1u << 23,
  OP_Cast = 1u << 24, OP_Pause = 1u << 25, OP_Confirm = 1u << 26, OP_Ranges = 1u << 27,
};
const uint32_t kOnlinePadMask = 0xF3FF;  // the fourteen buttons

// What this machine's player holds now, from the devices.
uint32_t OnlineInputRead();
// The frame of input for one played frame: each seat's presses now and in the frame before, as
// that seat's keys and pad; Space goes to the seat the screen reads it for (`spaceFor`, or -1).
// Rumble for this machine's seat goes to gamepad 1.
void OnlineInputBuild(InputFrame& frame, const uint32_t now[2], const uint32_t before[2],
                      int spaceFor, int localSeat);
