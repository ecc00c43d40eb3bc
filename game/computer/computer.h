// computer.h - the computer player: a seat (player 1, player 2 or both) played through that
// player's own keys, on the selection screens, in battle and, with both seats, on the main menu.
#pragma once
#include <cstdint>

struct Font;

// Hands a seat (0: player 1, 1: player 2) to the computer or back to a person. Lasts until the
// game is quit; nothing is saved.
void ComputerSetSeat(int player, bool computer);
bool ComputerHoldsSeat(int player);
// Its choices vary from match to match through this seed; tests fix it.
void ComputerSetSeed(uint32_t seed);

// How well it plays a seat. Each seat keeps its strength, Normal unless set, while the seat
// changes hands; nothing is saved.
enum ComputerLevel { Computer_Easy, Computer_Normal, Computer_Hard, Computer_LevelCount };
void ComputerSetLevel(int player, ComputerLevel level);
ComputerLevel ComputerLevelOf(int player);
// "Easy", "Normal" or "Hard"; as the command line takes it, in any case.
const char* ComputerLevelName(ComputerLevel level);

// Online play: seat 2 can no longer be handed over on hero selection (the other seat is the
// other machine's), and while `pending` answers true for a seat it presses nothing: its last
// press has not reached the game yet, and a second one would be made on a stale look.
void ComputerSetOnline(bool on, bool (*pending)(int player));

// Once per frame after the screen's update (the state manager's update hook): reads what the
// screen shows and presses at most one key per seat, which the next frame's input sees.
void ComputerUpdate();
// Who holds a seat, as hero selection labels it: "2: Human" or "2: Computer (Easy)".
const char* ComputerSeatLabel(int player);
// Hero selection: the label of who holds seat 2 and the hint of the key that steps it through
// Human and the computer's three strengths.
void ComputerPrintSeatLabels(Font* font);
