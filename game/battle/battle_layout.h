// battle_layout.h - the battle Init's builders of the board, called in drawing order (shared by
// battle.cpp and battle_layout.cpp only).
#pragma once

void LayoutBuildBackground();       // wood and lanes
void LayoutBuildHero(int player);   // portrait, grid, summon icons and slots, built-in spell
void LayoutBuildArrows();           // lane arrows, then the energy icons
void LayoutBuildChosenSpells();     // both chosen spells of both players
void LayoutBuildFrames();           // spell rings, health pictures, spell stars, portrait frames
