// battle.cpp - the battle state: board, round flow and the six callbacks.
// Placeholder globals until the battle is built.
#include "battle/battle.h"

#include "framework/gameobject.h"

BattlePlayer gPlayers[2];
bool scored[2];
float roundEndDelay = 2.0f;
bool noHealthLoss = false;

Texture* BattleTexture(const char*) { return nullptr; }
Font* BattleFont() { return nullptr; }
ObjectList& BattleObjects() { return *ObjectListOf(GS_Battle); }
ChannelSlot* BattlePlay(BattleSound) { return nullptr; }
ChannelSlot* BattleChannel(BattleSound) { return nullptr; }

void BattleLoad() {}
void BattleInit() {}
void BattleUpdate() {}
void BattleDraw() {}
void BattleFree() {}
void BattleUnload() {}
