// roundover.cpp - the round and match results shown for three seconds after a round.
// Placeholder: the screen is not built yet.
#include "screens/roundover.h"

void RoundOverLoad() {}
void RoundOverInit() {}
void RoundOverUpdate() {}
void RoundOverDraw() {}
void RoundOverFree() {}
void RoundOverUnload() {}
