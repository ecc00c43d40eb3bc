// heroselect.h - hero selection: both players choose a hero in turn on the open book.
// The six state callbacks the state manager runs, and what an addition (the computer) reads of it.
#pragma once

struct Font;

void HeroSelectLoad();
void HeroSelectInit();
void HeroSelectUpdate();
void HeroSelectDraw();
void HeroSelectFree();
void HeroSelectUnload();

// Labels an addition draws over the book after the screen's own (null: none).
void HeroSelectSetDrawExtra(void (*fn)(Font* font));

// The player choosing now (0 or 1), or -1 once both have confirmed; the cell under that player's
// arrow (book cell order).
int HeroSelectChooser();
int HeroSelectCell();
