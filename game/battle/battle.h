// battle.h - the battle state (GS_Battle): players, lanes, energy, summon and spell slots, the
// board, the round end, and the six state callbacks.
#pragma once
#include <cstdint>

#include "battle/match.h"
#include "troops/troop.h"

struct Texture;
struct Font;
struct ChannelSlot;
struct ObjectList;

// A spell routine: the caster's lane arrow and the spell's ready flag (cleared when it acts).
typedef void (*SpellCastFn)(GameObject* arrow, bool* ready);

struct SummonSlot {
  TroopKind kind;
  float chargeTime;
  float chargeTimer;
  GameObject* icon;
};

struct SpellSlot {
  SpellCastFn cast;   // null: no spell in this slot, never cast
  bool ready;
  float cooldownTimer;
  GameObject* icon;
};

struct BattlePlayer {
  int32_t lane;             // -2 .. 2
  GameObject* arrow;
  int32_t energy;
  SummonSlot summonSlots[4];  // A, B, X, Y
  SpellSlot spellSlots[3];    // built-in, chosen slot 0, chosen slot 1
  int32_t spellCursor = 1;    // 1 .. 3, kept between rounds
  GameObject* spellStar;
  bool frozen;
  float freezeTimer;
  GameObject* portrait;
};

extern BattlePlayer gPlayers[2];
extern bool scored[2];        // [0]: a player-1 troop reached the right end; [1]: player 2's the left
extern float roundEndDelay;
extern bool noHealthLoss;

const float kLaneSpacing = 70.0f;
const float kGoalLineX = 280.0f;
const int32_t kStartEnergy = 30;

// The board places the HUD and the controls share: spell icons (built-in, chosen slot 0, chosen
// slot 1; the spell star moves between them) and portraits (the player tags hang off them).
const Vec2 kSpellIconPosition[2][3] = {{{150, 250}, {250, 250}, {350, 250}},
                                       {{-350, -250}, {-250, -250}, {-150, -250}}};
const Vec2 kPortraitPosition[2] = {{-340, 245}, {340, -250}};

enum BattleSound {
  SND_Rally, SND_Goal, SND_Select, SND_Execute, SND_Freeze, SND_Boost, SND_Stun, SND_Meteor,
  SND_Quake, SND_Poison, SND_Wind, SND_Count
};

// A battle picture by its name in data/ ("Smoke" for "data/Smoke.png"); null if not loaded.
Texture* BattleTexture(const char* name);
Font* BattleFont();
ObjectList& BattleObjects();
// Plays a battle sound into its channel reference (music at the music volume, the rest at the
// sound volume); returns the channel or null.
ChannelSlot* BattlePlay(BattleSound sound);
ChannelSlot* BattleChannel(BattleSound sound);

void BattleLoad();
void BattleInit();
void BattleUpdate();
void BattleDraw();
void BattleFree();
void BattleUnload();
