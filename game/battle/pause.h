// pause.h - the battle's pause menu: opened by either player, owned by its opener, with the
// held screens (how to play, settings, credits), restart and quit.
#pragma once

extern bool battlePaused;
extern bool pauseOpenedByP1;
extern bool pauseOpenedByP2;
extern int pauseCursor[2];

void PauseReset();    // the menu closed, at every fresh battle Init
void PauseUpdate();   // the input step, every battle update
void PauseDraw();     // the labels, after the battle's objects and texts
