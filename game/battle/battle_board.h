// battle_board.h - the battle's own resources and board builders, shared by battle.cpp and
// battle_board.cpp only (the rest of the game goes through battle.h).
#pragma once
#include "battle/battle.h"

void BoardLoadResources();
void BoardUnloadResources();
// Puts the battle's quad back into gQuadMesh (a screen shown over the held battle swaps it).
void BoardUseQuad();
// A new round keeps no channel of the last one: those slots may play other sounds by now.
void BoardForgetChannels();
void BoardSetVolumes();
void BoardPauseChannels(bool paused);

// Init's builders, called in drawing order.
void BoardBuildBackground();       // wood and lanes
void BoardBuildHero(int player);   // portrait, grid, summon icons and slots, built-in spell
void BoardBuildArrows();           // lane arrows, then the energy icons
void BoardBuildChosenSpells();     // both chosen spells of both players
void BoardBuildFrames();           // spell rings, health pictures, spell stars, portrait frames
