// pause.h - the battle's pause menu: opened by either player, owned by its opener, with the
// held screens (how to play, settings, credits), restart and quit.
#pragma once

// The menu is open (`battlePaused`): set through the rest of the update in which "Continue" or
// "Restart" closes it, so the press that closed it does nothing in the battle.
bool PauseIsOpen();
int PauseOpener();                    // the player who opened it, or -1
int PauseCursor(int player);          // 1 "Continue" .. -5 "Quit", -1 when not the opener
bool PauseQuestionShown();            // "Are you sure?" is asked
int PauseQuestionCursor(int player);  // 0 "Yes", -1 "No"

void PauseReset();    // the menu closed, at every fresh battle Init
void PauseUpdate();   // the input step, every battle update
void PauseDraw();     // the labels, after the battle's objects and texts

struct ChannelSlot;
// The slot of the click this menu started last while it still holds that click; null once the
// slot was handed to another sound (a plain slot reference would then steer that sound).
ChannelSlot* PauseClick();
