// roundover.h - the round and match results shown for three seconds after a round.
// The six state callbacks the state manager runs, and the jingle the screen plays.
#pragma once

struct SoundEntry;
struct ChannelSlot;

void RoundOverLoad();
void RoundOverInit();
void RoundOverUpdate();
void RoundOverDraw();
void RoundOverFree();
void RoundOverUnload();

// The jingle of this result (`resultSound`: null for a draw) and the channel it plays on
// (`resultChannel`: null when silent).
SoundEntry* RoundOverJingle();
ChannelSlot* RoundOverChannel();
