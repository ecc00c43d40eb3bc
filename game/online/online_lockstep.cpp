// online_lockstep.cpp - both seats' presses by frame, what may be played, what is sent, and the
// checks on what the other machine claims: it can only be as far on as our own presses let it.
#include "online/online_lockstep.h"

#include <cstring>

namespace {

uint32_t& PressAt(Lockstep& l, int seat, uint32_t frame) {
  return l.presses[seat][frame % kLockstepRing];
}

// The highest frame the other can have made presses for: it plays a frame only with ours, and
// presses `delay` frames ahead of what it plays.
uint32_t PeerReach(const Lockstep& l) { return l.sampled + l.delay + 1; }

LockstepHash* Find(LockstepHash* table, uint32_t frame) {
  for (int i = 0; i < kLockstepHashes; ++i)
    if (table[i].frame == frame) return &table[i];
  return nullptr;
}

// A place for a new hash: an empty one, else the oldest (that one was compared long ago, or it
// was ours and the other never answered for it).
LockstepHash* Place(LockstepHash* table) {
  LockstepHash* oldest = &table[0];
  for (int i = 0; i < kLockstepHashes; ++i) {
    if (table[i].frame == 0) return &table[i];
    if (table[i].frame < oldest->frame) oldest = &table[i];
  }
  return oldest;
}

}  // namespace

void LockstepStart(Lockstep& l, int seat, uint32_t delay) {
  l = Lockstep();
  l.seat = seat;
  l.delay = delay;
  l.sampled = l.received = l.peerHas = delay;
}

bool LockstepReady(const Lockstep& l) {
  return l.next < l.sampled && l.next < l.received;
}

void LockstepSample(Lockstep& l, uint32_t presses) {
  PressAt(l, l.seat, l.sampled) = presses & kWireInputMask;
  l.sampled += 1;
}

uint32_t LockstepPresses(const Lockstep& l, int seat, uint32_t frame) {
  if (frame < l.delay) return 0;
  return l.presses[seat][frame % kLockstepRing];
}

void LockstepAdvance(Lockstep& l) {
  l.next += 1;
}

void LockstepOutgoing(const Lockstep& l, bool away, WireMessage* out) {
  WireMessage& m = *out;
  m.type = WIRE_Input;
  m.frame = l.peerHas;
  uint32_t count = l.sampled - l.peerHas;
  m.count = (uint16_t)(count < (uint32_t)kWireMaxInputs ? count : kWireMaxInputs);
  for (int i = 0; i < m.count; ++i) m.inputs[i] = LockstepPresses(l, l.seat, m.frame + i);
  m.ack = l.received;
  m.next = l.next;
  float e = l.earliness * 16;
  m.earliness = (int16_t)(e > 30000 ? 30000 : (e < -30000 ? -30000 : e));
  m.flags = away ? kWireAway : 0;
  m.value = 0;
}

const char* LockstepReceive(Lockstep& l, const WireMessage& m) {
  if (m.type != WIRE_Input) return "sent a packet out of turn";
  uint64_t end = (uint64_t)m.frame + m.count;
  if (m.frame > l.received) return "skipped frames";
  if (end > PeerReach(l) || m.next > l.sampled || m.ack > l.sampled)
    return "claimed frames it cannot have reached";
  int other = 1 - l.seat;
  for (uint32_t f = m.frame; f < end; ++f) {
    uint32_t p = m.inputs[f - m.frame];
    if (f < l.delay) {
      if (p != 0) return "sent presses for the first frames";
    } else if (f < l.received) {
      // Frames already played are forgotten; the ones still kept must not change.
      if (f + 1 >= l.next && PressAt(l, other, f) != p) return "changed its presses";
    } else {
      PressAt(l, other, f) = p;
    }
  }
  if (end > l.received) l.received = (uint32_t)end;
  if (m.ack > l.peerHas) l.peerHas = m.ack;
  if (m.next > l.peerNext) l.peerNext = m.next;
  l.peerEarliness = m.earliness / 16.0f;
  l.peerAway = (m.flags & kWireAway) != 0;
  return nullptr;
}

void LockstepOwnHash(Lockstep& l, uint32_t frame, uint32_t hash) {
  *Place(l.mine) = {frame, hash};
}

const char* LockstepPeerHash(Lockstep& l, uint32_t frame, uint32_t hash) {
  if (frame == 0 || frame % kLockstepHashEvery != 0) return "sent a hash for no hashed frame";
  if (frame > PeerReach(l)) return "sent a hash for a frame it cannot have reached";
  if (Find(l.theirs, frame)) return "sent a frame's hash twice";
  *Place(l.theirs) = {frame, hash};
  return nullptr;
}

uint32_t LockstepMismatch(Lockstep& l) {
  uint32_t first = 0;
  for (LockstepHash& h : l.theirs) {
    if (h.frame == 0) continue;
    LockstepHash* own = Find(l.mine, h.frame);
    if (!own) continue;
    if (own->hash != h.hash && (first == 0 || h.frame < first)) first = h.frame;
    if (own->hash == h.hash) *own = h = LockstepHash{0, 0};
  }
  return first;
}
