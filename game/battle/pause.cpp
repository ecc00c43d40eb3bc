// pause.cpp - the battle's pause menu.
// Placeholder until the pause menu is built.
#include "battle/pause.h"

bool battlePaused = false;
bool pauseOpenedByP1 = false;
bool pauseOpenedByP2 = false;
int pauseCursor[2] = {-1, -1};

void PauseReset() {}
void PauseUpdate() {}
void PauseDraw() {}
