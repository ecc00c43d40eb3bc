// states.h - the game's eight screens as state ids of the state manager (which itself knows only
// its requests GS_Quit and GS_Restart). Their callbacks, lists and flags: game.cpp's table.
#pragma once
#include "kegsm.h"

enum : GameStateId {
  GS_Battle = 3, GS_RoundOver = 50, GS_MainMenu = 69, GS_HeroSelect = 100, GS_SpellSelect = 120,
  GS_Settings = 500, GS_HowToPlay = 666, GS_Credits = 7162,
};
