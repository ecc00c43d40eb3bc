// howtoplay.h - how to play: nine instruction pages turned left and right.
// The six state callbacks the state manager runs.
#pragma once

void HowToPlayLoad();
void HowToPlayInit();
void HowToPlayUpdate();
void HowToPlayDraw();
void HowToPlayFree();
void HowToPlayUnload();
