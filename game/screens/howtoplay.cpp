// howtoplay.cpp - how to play: nine instruction pages turned left and right.
// Placeholder: the screen is not built yet.
#include "screens/howtoplay.h"

void HowToPlayLoad() {}
void HowToPlayInit() {}
void HowToPlayUpdate() {}
void HowToPlayDraw() {}
void HowToPlayFree() {}
void HowToPlayUnload() {}
