// online_lockstep.h - the frames of an online game: both seats' presses by frame, which frame may
// be played, what goes to the other machine and whether what came from it can be true, and the
// comparison of both machines' state hashes.
#pragma once
#include <cstdint>

#include "online/online_wire.h"

const uint32_t kLockstepRing = 512;     // frames of presses kept per seat
const uint32_t kLockstepHashEvery = 60;  // frames between two state hashes
const int kLockstepHashes = 8;           // hashes kept per side, waiting to be compared

struct LockstepHash {
  uint32_t frame;  // 0: an empty place
  uint32_t hash;
};

struct Lockstep {
  int seat = 0;         // this machine's seat: 0 player 1 (the host), 1 player 2
  uint32_t delay = 1;   // a press made before frame F is played at frame F + delay
  uint32_t next = 0;    // the next frame to play
  uint32_t sampled = 0;   // this machine's presses are known for the frames below this
  uint32_t received = 0;  // the other's presses are known for the frames below this
  uint32_t peerHas = 0;   // the other has our presses for the frames below this
  uint32_t peerNext = 0;  // the next frame the other will play, as it last said
  float earliness = 0;      // how many frames early the other's presses arrive here, smoothed
  float peerEarliness = 0;  // the same, as the other measures ours
  bool peerAway = false;    // the other shows a screen of its own over the paused battle
  uint32_t presses[2][kLockstepRing];
  LockstepHash mine[kLockstepHashes], theirs[kLockstepHashes];
};

// Frames 0 .. delay - 1 carry no presses on either seat.
void LockstepStart(Lockstep& l, int seat, uint32_t delay);
// Both seats' presses for the next frame are here.
bool LockstepReady(const Lockstep& l);
// This machine's presses for frame `sampled` (made now, played `delay` frames on).
void LockstepSample(Lockstep& l, uint32_t presses);
// A seat's presses for a frame from next - 1 up to what is known; 0 for frames before the first.
uint32_t LockstepPresses(const Lockstep& l, int seat, uint32_t frame);
void LockstepAdvance(Lockstep& l);
// This machine's presses the other may still lack, with what we have of theirs.
void LockstepOutgoing(const Lockstep& l, bool away, WireMessage* out);
// Takes in the other's presses. Null when they can be true; otherwise why not (frames it cannot
// have reached, presses for a frame that change, a gap).
const char* LockstepReceive(Lockstep& l, const WireMessage& m);
// A frame's hash, this machine's or the other's; null, or why the other's cannot be true.
void LockstepOwnHash(Lockstep& l, uint32_t frame, uint32_t hash);
const char* LockstepPeerHash(Lockstep& l, uint32_t frame, uint32_t hash);
// The first frame whose two hashes differ (forgetting pairs that match); 0 when none does.
uint32_t LockstepMismatch(Lockstep& l);
