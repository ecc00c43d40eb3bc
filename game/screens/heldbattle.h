// heldbattle.h - what the screens opened over a paused battle (how to play, settings, credits)
// share: their own quad beside the battle's, the way back, and releasing a battle left behind.
#pragma once

// The screen's quad mesh, made in Load (and freed by HeldBattleUnload). A held battle keeps
// drawing and spawning with gQuadMesh afterwards, so its own quad is put back in place of ours.
void HeldBattleQuadCreate();

// Back: to the paused battle when the screen was opened for it (holdFlag set), else to the main
// menu; the screen's full-screen flag goes along.
void HeldBattleReturn(bool holdFlag);

// Free and Unload: when the screen is left any other way than back to the battle (quitting),
// the battle is still on hold and would never be released. Clears holdFlag so that the battle's
// own Free and Unload run.
void HeldBattleReleaseFree(bool* holdFlag);
// The last step of the screen's Unload: its quad freed (the battle's back in its place), then a
// battle left behind released.
void HeldBattleUnload(bool* holdFlag);
