// hpplay.h - test support for whole-game runs: a working folder whose data/ is a copy with files
// damaged or missing (or none at all), and the real game played with the players' keys from the
// main menu into a battle, through a held screen, and to the end of a round.
#pragma once
#include <cstddef>
#include <cstdint>

// A fresh temporary folder made the working directory. With data, its data/ links every file of
// the real one (damaging a file replaces its link, never the original). PlayLeaveFolder goes
// back to the folder the test started in and removes the temporary one.
bool PlayEnterFolder(bool withData);
void PlayLeaveFolder();
// Damage to a file of the copied data/ (path relative to the working folder).
bool PlayTruncate(const char* path, size_t keepBytes);  // cut to its first bytes (0: empty)
bool PlayGarbage(const char* path);                     // replaced by bytes of no format
bool PlayRemove(const char* path);
// A well-formed PCM WAV file of any shape, with dataBytes of sample data.
bool PlayWriteWav(const char* path, int channels, int rate, int bits, uint32_t dataBytes);

// From the main menu (logos or not) to a running battle with keys only: Start game, both
// heroes, two spells each. False if it did not get there within maxFrames.
bool PlayIntoBattle(int maxFrames = 3000);
// From a running battle: player 1 opens the pause menu, shows Settings over the battle, comes
// back with Esc and continues. False if any step did not happen.
bool PlayVisitSettingsFromPause();
// Player 1 summons all it can and casts its spells while player 2 does nothing, until the
// result screen shows.
bool PlayRoundWonByPlayer1(int maxFrames = 4000);

// The whole run on the working folder as it is: the game started on the main menu, played into
// a battle (where `check` looks at what it could load), Settings over the paused battle and back,
// a round won by player 1 and the next round started, with the health each should have; then
// Alt+F4 and shut-down with every resource released and no message box.
void PlayMatchRound(void (*check)());
