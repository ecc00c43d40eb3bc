// hpbattle.h - test support for the battle: the real game started on GS_Battle with a chosen
// match, key presses of one update, troops stood in a lane, casts and the spell pictures.
#pragma once
#include <vector>

#include "battle/match.h"
#include "troops/troop.h"
#include "states.h"

struct Animation;

// Engine (window w by h), gAudio, every game state, then GS_Battle with this match and its
// first update. Health 3 for both; settings at their defaults.
bool BattleTestStart(HeroId p1, HeroId p2, SpellId s10, SpellId s11, SpellId s20, SpellId s21,
                     int w = 160, int h = 120, bool fullscreen = false);
void BattleTestStop();
// Key held down for one update, released in the next (which is run as well).
void BattleTestPress(int vk);
// Spawned through SpawnTroop in a lane (the owner's arrow visits it and returns), then stood at
// x with its bar and marker; held troops get speed factor 0.
Troop* BattleTestTroop(TroopKind kind, int lane, bool rightSide, float x, bool hold = true);
int BattleTestTroopCount(bool rightSide);
// Moves a troop with its bar and marker, as marching would.
void TroopMoveTo(Troop* t, float x);

// The player's spell cursor put on slot (0 built-in, 1 and 2 chosen) and the cast key held for
// one update; the key comes up in the next, so a second press needs one between.
void SpellsCast(int player, int slot);
void SpellsPressCast(int player);
// Animations showing data/<name>.png, oldest first.
std::vector<Animation*> SpellsPictures(const char* name);
// Living meteor bars (untextured, translucent red, 50 high), oldest first.
std::vector<GameObject*> SpellsMarkers();
