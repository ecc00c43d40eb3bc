// roundover.h - the round and match results shown for three seconds after a round.
// The six state callbacks the state manager runs.
#pragma once

void RoundOverLoad();
void RoundOverInit();
void RoundOverUpdate();
void RoundOverDraw();
void RoundOverFree();
void RoundOverUnload();
