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

// The jingle of this result (null for a draw) and the channel it plays on (null when silent).
extern SoundEntry* resultSound;
extern ChannelSlot* resultChannel;
