// controls.cpp - what the players do in a running round: lane selection, summoning within the
// energy budget and the charge times, spell selection and casting, and the charge and cooldown
// timers.
#include "battle/controls.h"

#include <cassert>

#include "battle/board.h"
#include "battle/spells.h"
#include "framework/gameobject.h"
#include "keinput.h"
#include "troops/troop.h"

namespace {

const float kSpellCooldown = 15.0f;
const uint32_t kChargingTint = 0xFF808080;
const int32_t kSummonCost[4] = {1, 2, 2, 3};  // A, B, X, Y

// Both players share the keyboard; player 1 also has pad 0 and player 2 pad 1. Player 2's second
// set stands in for the number pad on a laptop (7 8 9 0 summon, M casts, O pauses, L shows the
// ranges): keys that neither player 1 nor any menu reads.
const int kKeys[kControlKeySets][2][CTL_Count] = {
    {{'W', 'S', '1', '2', '3', '4', 'D', 'A', 'Z'},
     {VK_UP, VK_DOWN, VK_NUMPAD0, VK_NUMPAD0 + 1, VK_NUMPAD0 + 2, VK_NUMPAD0 + 3, VK_RIGHT, VK_LEFT,
      VK_NUMPAD0 + 4}},
    {{0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, '7', '8', '9', '0', 0, 0, 'M'}},
};
const int kSeatKeys[kControlKeySets][2][SEAT_Count] = {
    {{'P', 'K'}, {VK_NUMPAD0 + 9, VK_NUMPAD0 + 7}},
    {{VK_ESCAPE, 0}, {'O', 'L'}},
};
const uint16_t kPadButtons[CTL_Count] = {
    PAD_DPAD_UP, PAD_DPAD_DOWN, PAD_A, PAD_B, PAD_X, PAD_Y, PAD_DPAD_RIGHT, PAD_DPAD_LEFT,
    PAD_RIGHT_SHOULDER,
};

bool Fired(int player, Control c) {
  for (int set = 0; set < kControlKeySets; ++set)
    if (kKeys[set][player][c] && InputIsTriggered(kKeys[set][player][c])) return true;
  return InputPadIsConnected(player) && InputPadIsTriggered(player, kPadButtons[c]);
}

void SetTint(GameObject* icon, bool grey) {
  if (!icon) return;
  icon->tinted = grey;
  if (grey) icon->color = kChargingTint;
}

// Up wins over down, except that down still wraps from the bottom lane.
void SelectLane(int player) {
  BattlePlayer& p = BoardPlayer(player);
  bool up = Fired(player, CTL_Up), down = Fired(player, CTL_Down);
  int32_t before = p.lane;
  if (up && p.lane == 2) p.lane = -2;
  else if (down && p.lane == -2) p.lane = 2;
  else if (up) p.lane += 1;
  else if (down) p.lane -= 1;
  if (p.lane == before) return;
  if (p.arrow) p.arrow->position.y = kLaneSpacing * p.lane;
  CancelMeteorAim(player);
}

bool MaySummon(const BattlePlayer& p, int slot) {
  const SummonSlot& s = p.summonSlots[slot];
  return s.kind != 0 && p.energy >= kSummonCost[slot] && s.chargeTimer > s.chargeTime;
}

// Player 1 gets at most one troop per update, player 2 one per slot.
void Summon(int player) {
  BattlePlayer& p = BoardPlayer(player);
  if (p.frozen) return;
  for (int slot = 0; slot < 4; ++slot) {
    if (!Fired(player, (Control)(CTL_SummonA + slot)) || !MaySummon(p, slot)) continue;
    SpawnTroop(p.summonSlots[slot].kind, p.lane, player == 1);
    p.summonSlots[slot].chargeTimer = 0;
    p.energy -= kSummonCost[slot];
    if (player == 0) return;
  }
}

// The motor pulses last until the timer step sets the motors again in the same update.
void SelectSpell(int player) {
  BattlePlayer& p = BoardPlayer(player);
  bool pad = InputPadIsConnected(player);
  if (Fired(player, CTL_Next)) {
    p.spellCursor = p.spellCursor % 3 + 1;
    if (pad) InputPadSetRightMotor(player, 1.0f);
  }
  if (Fired(player, CTL_Previous)) {
    p.spellCursor = (p.spellCursor + 1) % 3 + 1;
    if (pad) InputPadSetLeftMotor(player, 1.0f);
  }
  if (p.spellStar) p.spellStar->position = kSpellIconPosition[player][p.spellCursor - 1];
}

// The routine clears ready when it acts, so the icon turns grey exactly when the spell was used.
void Cast(int player) {
  BattlePlayer& p = BoardPlayer(player);
  if (p.frozen || !p.castFired) return;
  if (p.spellCursor < 1 || p.spellCursor > 3) return;
  SpellSlot& s = p.spellSlots[p.spellCursor - 1];
  if (!s.cast || !s.ready) return;
  s.cast(player, &s.ready);
  SetTint(s.icon, true);
}

}  // namespace

void UpdateLaneSelection() {
  SelectLane(0);
  SelectLane(1);
}

void UpdateSummoning() {
  Summon(0);
  Summon(1);
}

void UpdateSpellInput() {
  // Read once for both: the meteor's aim launches on it in the timer step.
  for (int player = 0; player < 2; ++player)
    BoardPlayer(player).castFired = Fired(player, CTL_Cast);
  SelectSpell(0);
  SelectSpell(1);
  Cast(0);
  Cast(1);
}

// Charging goes on while a player is frozen.
void TickSummonCharges() {
  for (int player = 0; player < 2; ++player) {
    BattlePlayer& p = BoardPlayer(player);
    for (SummonSlot& s : p.summonSlots) {
      if (s.chargeTimer >= s.chargeTime) continue;
      SetTint(s.icon, true);
      s.chargeTimer += kUpdateStep;
    }
    for (SummonSlot& s : p.summonSlots)
      if (s.chargeTimer > s.chargeTime) SetTint(s.icon, false);
  }
}

void TickSpellCooldowns() {
  for (int player = 0; player < 2; ++player)
    for (SpellSlot& s : BoardPlayer(player).spellSlots) {
      if (s.ready) continue;
      s.cooldownTimer += kUpdateStep;
      if (s.cooldownTimer < kSpellCooldown) continue;
      s.ready = true;
      s.cooldownTimer = 0;
      SetTint(s.icon, false);
    }
}

int ControlsKey(int player, Control control, int set) {
  if (player < 0 || player > 1 || control < 0 || control >= CTL_Count) return 0;
  if (set < 0 || set >= kControlKeySets) return 0;
  return kKeys[set][player][control];
}

int ControlsSeatKey(int player, SeatControl control, int set) {
  if (player < 0 || player > 1 || control < 0 || control >= SEAT_Count) return 0;
  if (set < 0 || set >= kControlKeySets) return 0;
  return kSeatKeys[set][player][control];
}

bool ControlsRangesHeld(int player) {
  for (int set = 0; set < kControlKeySets; ++set) {
    int key = ControlsSeatKey(player, SEAT_Ranges, set);
    if (key && InputIsPressed(key)) return true;
  }
  return InputPadIsConnected(player) && InputPadIsPressed(player, PAD_LEFT_SHOULDER);
}

int32_t ControlsSummonCost(int slot) {
  assert(slot >= 0 && slot < 4);
  return kSummonCost[slot];
}
