// hpbattle.h - test support for the battle: the real game started on GS_Battle with a chosen
// match, updates, and key presses of one update.
#pragma once
#include "battle/match.h"

// Engine (window w by h), gAudio, every game state, then GS_Battle with this match and its
// first update. Health 3 for both; settings at their defaults.
bool BattleTestStart(HeroId p1, HeroId p2, SpellId s10, SpellId s11, SpellId s20, SpellId s21,
                     int w = 800, int h = 600, bool fullscreen = false);
void BattleTestStop();

void BattleTestRun(int n = 1);
// Keys held down for one update together, released in the next (which is run as well).
void BattleTestPress(int vk);
void BattleTestPress2(int vk1, int vk2);
// Number of troops in the battle's list, living or dead, of one side.
int BattleTestTroopCount(bool rightSide);
