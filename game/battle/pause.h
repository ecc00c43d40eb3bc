// pause.h - the battle's pause menu: opened by either player, owned by its opener, with the
// held screens (how to play, settings, credits), restart and quit.
#pragma once

// Set while a menu is open. It stays set through the rest of the update in which "Continue" or
// "Restart" closes the menu, so the press that closed it does nothing in the battle.
extern bool battlePaused;
extern bool pauseOpenedByP1;   // at most one of the two is set
extern bool pauseOpenedByP2;
extern int pauseCursor[2];     // the item under each player's cursor: 1 "Continue" .. -5 "Quit"
extern bool quitConfirmShown;  // "Are you sure?" is asked
extern int quitConfirmCursor[2];  // 0 "Yes", -1 "No"

void PauseReset();    // the menu closed, at every fresh battle Init
void PauseUpdate();   // the input step, every battle update
void PauseDraw();     // the labels, after the battle's objects and texts

struct ChannelSlot;
// The slot of the click this menu started last while it still holds that click; null once the
// slot was handed to another sound (a plain slot reference would then steer that sound).
ChannelSlot* PauseClick();
