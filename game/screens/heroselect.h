// heroselect.h - hero selection: both players choose a hero in turn on the open book.
// The six state callbacks the state manager runs, and the selection music it starts.
#pragma once

struct SoundEntry;
struct ChannelSlot;

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

// The selection music plays on into the spell selection, which stops it when it is left and
// frees its sound.
extern SoundEntry* selectionMusic;
extern ChannelSlot* selectionChannel;
