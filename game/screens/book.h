// book.h - what the hero and spell selection share on their open book: the two-by-two grid of
// choices, each player's keys and pad for it, the players' marks on a chosen cell, and the
// selection music that plays through both.
#pragma once
#include <cstdint>

struct ChannelSlot;
struct Font;

// Cells: 0 column 1 row 1, 1 column 2 row 1, 2 column 1 row 2, 3 column 2 row 2. With two
// columns and two rows, either key of a pair moves to the other one.
inline int BookCellColumn(int cell) { return cell & 1; }
inline int BookCellRow(int cell) { return cell >> 1; }
inline int BookOtherColumn(int cell) { return cell ^ 1; }
inline int BookOtherRow(int cell) { return cell ^ 2; }
// The cell of id in a table of four ids in cell order; -1 if it is none of them.
int BookCellOf(const int32_t ids[4], int32_t id);

enum BookMove { BOOK_None, BOOK_Column, BOOK_Row, BOOK_Confirm };
// The one move of a player this frame, first match wins. Player 1: A/D, W/S and gamepad 1;
// player 2: the arrow keys and gamepad 2; Space confirms for both.
BookMove BookReadMove(int player);

// The player's mark (1 or 2) over a cell, in the player's colour; nothing for cell -1.
void BookPrintMark(Font* font, int player, int cell, int mark);
// A title at the foot of the left page.
void BookPrintTitle(Font* font, const char* text);

// The selection music: hero selection loads and starts it, spell selection keeps it going, stops
// it when it is left and frees it.
void BookMusicLoad();
void BookMusicStart();          // looping, at the music volume
ChannelSlot* BookMusicChannel();  // `selectionChannel`; null when not playing
void BookMusicStop();           // after the screen stopped its sounds: forgets the channel
void BookMusicUnload();
