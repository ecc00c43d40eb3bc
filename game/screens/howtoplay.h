// howtoplay.h - how to play: nine instruction pages turned left and right.
// The six state callbacks the state manager runs.
#pragma once

const int kHowToPlayPages = 9;

void HowToPlayLoad();
void HowToPlayInit();
void HowToPlayUpdate();
void HowToPlayDraw();
void HowToPlayFree();
void HowToPlayUnload();

// The page shown (0 to 8); kept for the whole run, so the screen reopens on it.
int HowToPlayPage();
