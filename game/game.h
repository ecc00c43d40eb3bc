// game.h - the game's entry: start-up, registration of the eight screens, the run, shut-down.
#pragma once

// Start-up up to a running state manager on the main menu; false when the game must not run.
bool GameStart();
// Registers the eight screens with the state manager, in their fixed order.
void GameRegisterStates();
// Shut-down after the state manager's loop has ended.
void GameEnd();
// The whole program; always returns 0.
int GameMain();
