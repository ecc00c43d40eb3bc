// game.h - the game's entry: start-up, the table of its eight screens and their registration,
// the run, shut-down.
#pragma once

struct ScreenEntry;

const int kGameScreenCount = 8;
// The screens in their order of registration, with their lists and full-screen flags.
ScreenEntry* GameScreens();
// Deletes every object the screens have retired: a screen's Free retires its objects, and only
// the next Purge of its list deletes them.
void GamePurgeScreens();

// Start-up up to a running state manager on the main menu; false when the game must not run.
bool GameStart();
// Registers the screens with the state manager, in table order.
void GameRegisterStates();
// Shut-down after the state manager's loop has ended.
void GameEnd();
// The whole program; returns the exit status (1: no display, or an online game that ended
// before the matches asked for).
int GameMain();
