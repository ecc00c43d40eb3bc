// kegsm.h - the game state manager: the registered states, the current/previous/next state,
// and the loop that loads, initialises, runs, frees and unloads them in a fixed order.
#pragma once
#include <cstdint>

typedef int32_t GameStateId;
typedef void (*GsmCallback)();

// The manager's own requests; every other id is the game's, registered with GsmAddState.
enum : GameStateId {
  GS_Quit = -1,
  GS_Restart = -2,
};

void GsmAddState(GameStateId id, GsmCallback load, GsmCallback init, GsmCallback update,
                 GsmCallback draw, GsmCallback free, GsmCallback unload);
void GsmInit(GameStateId start);
void GsmUpdate();
void GsmRun();
// Runs pending state changes, then one frame of the current state. False once the loop is over.
bool GsmStep();
void GsmSetNextState(GameStateId id);
// Called after the current state's Update in every frame (null: none); GsmReset clears it.
void GsmSetUpdateHook(GsmCallback hook);
// Asked before the current state's Update in every frame (null: always yes): false skips the
// Update and the update hook, and the frame is only drawn. GsmReset clears it.
void GsmSetUpdateGate(bool (*gate)());
// Called after the current state's Draw in every drawn frame (null: none); GsmReset clears it.
void GsmSetDrawHook(GsmCallback hook);
GameStateId GsmGetCurrentState();
GameStateId GsmGetPreviousState();
GameStateId GsmGetNextState();
bool GsmIsRegistered(GameStateId id);
// Empties the table and the loop's state (a fresh start for tests).
void GsmReset();
