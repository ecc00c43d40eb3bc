// hpheavy.h - a heavy battle for the benchmarks: every lane of both sides kept full of troops of
// all sixteen kinds, Poison always running and the other spells cast in turn, meteors included.
#pragma once

// Starts the game on a battle on the virtual clock, full screen or in the 800x600 window, and
// runs its first update.
bool HeavyBattleStart(bool fullscreen = true);
// One frame of the heavy battle: tops the lanes up, casts on schedule, then runs the frame.
// Troops about to score are struck down first, so the round never ends.
bool HeavyBattleFrame();
void HeavyBattleStop();
// Ends the round as a score would (the round-over screen loads and shows one frame), then starts
// the next round's battle. False if the battle did not come back.
bool HeavyNextRound();

// Troops alive now, troops in the roster (dead ones stay until the round ends), list length.
int HeavyAliveTroops();
int HeavyRosterSize();
int HeavyObjectCount();
// Objects drawn this frame, and the screen area their quads cover (overlaps counted each time).
int HeavyDrawnObjects();
double HeavyFillMegapixels();
