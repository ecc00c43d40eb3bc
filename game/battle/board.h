// board.h - the battle board: its pictures, sounds and their channels, font and quad, the list of
// its objects, the two players' seats (lane, energy, summon and spell slots), and where the lanes,
// goal lines, spell icons and portraits stand.
#pragma once
#include <cstdint>

#include "kemath.h"
#include "troops/troopkind.h"

class GameObject;
struct ChannelSlot;
struct Font;
struct ObjectList;
struct Texture;

// A spell routine: the casting player (0 or 1) and the spell's ready flag, which it clears when
// it acts.
typedef void (*SpellCastFn)(int player, bool* ready);

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
  bool castFired;             // the cast control fired in this update (a meteor aim launches)
};

// Player 0 or 1.
BattlePlayer& BoardPlayer(int player);

const float kLaneSpacing = 70.0f;
const float kGoalLineX = 280.0f;
const int32_t kStartEnergy = 30;

// Spell icons (built-in, chosen slot 0, chosen slot 1; the spell star moves between them) and
// portraits (the player tags hang off them).
const Vec2 kSpellIconPosition[2][3] = {{{150, 250}, {250, 250}, {350, 250}},
                                       {{-350, -250}, {-250, -250}, {-150, -250}}};
const Vec2 kPortraitPosition[2] = {{-340, 245}, {340, -250}};

enum BattleSound {
  SND_Rally, SND_Goal, SND_Select, SND_Execute, SND_Freeze, SND_Boost, SND_Stun, SND_Meteor,
  SND_Quake, SND_Poison, SND_Wind, SND_Count
};

// Load: every battle picture, sound, the font and the quad; Unload releases them all.
void BoardLoad();
void BoardUnload();
// A picture by its name in data/ ("Smoke" for "data/Smoke.png"); null if not loaded.
Texture* BoardTexture(const char* name);
Font* BoardFont();
ObjectList& BoardObjects();
// Puts the battle's quad back into gQuadMesh (a screen shown over the held battle swaps it).
void BoardUseQuad();

// Plays a battle sound into its channel reference (music at the music volume, the rest at the
// sound volume); returns the channel or null.
ChannelSlot* BoardPlay(BattleSound sound);
ChannelSlot* BoardChannel(BattleSound sound);
// A new round keeps no channel of the last one: those slots may play other sounds by now.
void BoardForgetChannels();
void BoardSetVolumes();
void BoardPauseChannels(bool paused);
