// heroselect.cpp - hero selection: both players choose a hero in turn on the open book.
// Placeholder: the screen is not built yet.
#include "screens/heroselect.h"

void HeroSelectLoad() {}
void HeroSelectInit() {}
void HeroSelectUpdate() {}
void HeroSelectDraw() {}
void HeroSelectFree() {}
void HeroSelectUnload() {}
