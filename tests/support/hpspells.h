// hpspells.h - test support for spells in a running battle: troops stood at a place in a lane,
// a cast through the player's cast key, and the spell pictures and the meteor bar in the list.
#pragma once
#include "troops/troop.h"

struct Animation;

// Spawns through SpawnTroop in a lane (the owner's arrow visits the lane and returns), then
// stands the troop at x with its bar and marker; held troops get speed factor 0.
Troop* SpellsTroop(TroopKind kind, int lane, bool rightSide, float x, bool hold = true);
// Moves a troop with its bar and marker.
void SpellsMoveTo(Troop* t, float x);
// Puts the player's spell cursor on slot (0 built-in, 1 and 2 chosen) and holds the player's
// cast key for one update. The key comes up in the next update: a second press needs one between.
void SpellsCast(int player, int slot);
// Holds the cast key for one update whatever the cursor is on.
void SpellsPressCast(int player);
// Objects showing the picture data/<name>.png: how many, and the newest as an animation.
int SpellsPictureCount(const char* name);
Animation* SpellsNewestPicture(const char* name);
// The newest living meteor bar (untextured, translucent red, 50 high), or null; a test takes it
// right after the cast that made it.
GameObject* SpellsNewestMarker();
int SpellsMarkerCount();
