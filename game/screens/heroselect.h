// heroselect.h - hero selection: both players choose a hero in turn on the open book.
// The six state callbacks the state manager runs, and the selection music it starts.
#pragma once

void HeroSelectLoad();
void HeroSelectInit();
void HeroSelectUpdate();
void HeroSelectDraw();
void HeroSelectFree();
void HeroSelectUnload();
