// battle.h - the battle state (GS_Battle): the six callbacks the state manager runs, and what a
// round looks like from outside (scored sides, the end delay, the debug switch).
#pragma once

void BattleLoad();
void BattleInit();
void BattleUpdate();
void BattleDraw();
void BattleFree();
void BattleUnload();

// The round's state: `scored`[0] once a player-1 troop reached the right end, [1] player 2's the
// left; both is a draw. `roundEndDelay` counts down the last two seconds once one is set.
struct BattleRound {
  bool scored[2];
  float roundEndDelay;
  bool noHealthLoss;  // debug switch (G): a lost round costs no health
};
const BattleRound& BattleRoundState();
bool BattleRoundRunning();
void BattleSetNoHealthLoss(bool on);
