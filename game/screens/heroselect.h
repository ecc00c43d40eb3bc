// heroselect.h - hero selection: both players choose a hero in turn on the open book.
// The six state callbacks the state manager runs, and the selection music it starts.
#pragma once

void HeroSelectLoad();
void HeroSelectInit();
void HeroSelectUpdate();
void HeroSelectDraw();
void HeroSelectFree();
void HeroSelectUnload();

// The player choosing now (0 or 1), or -1 once both have confirmed; the cell under that player's
// arrow (book cell order).
int HeroSelectChooser();
int HeroSelectCell();
