// hp.h - the one test support library: the real game started headless on the virtual clock,
// keys, pads and frames pushed through SDL, pixels and sound read back, damaged data folders.
// It brings the headers nearly every test reads: GoogleTest, the keys, the board and screens.
#pragma once
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "battle/board.h"
#include "battle/match.h"
#include "framework/audio.h"
#include "kegsm.h"
#include "keinput.h"
#include "screens/screen.h"
#include "states.h"
#include "troops/troop.h"

// ---- Starting and stopping. Message boxes are captured, never shown.
struct HpBox { std::string text, caption; uint32_t style; };
// The engine alone, in a window of w by h (or full screen, as the game starts).
bool HpEngineStart(int w = 320, int h = 240, bool fullscreen = false);
bool HpEngineStop();  // false: the engine had graphics resources left to report
std::vector<HpBox>& HpBoxes();
// The engine, the four sound instances, every screen registered and the settings, hold flags and
// full-screen flags at their start values (`first` gets `fullscreen`); the first frame is left
// to the caller. A small window shows the middle of the board and draws fast.
bool HpStart(GameStateId first, int w = 320, int h = 240, bool fullscreen = false);
// Quits through the state manager (the screen frees and unloads) and stops it all.
void HpStop();
// HpStart on a battle of this match (health 3 each, cursors on the first chosen spell), after
// its first update.
bool HpStartBattle(HeroId p1, HeroId p2, SpellId s10, SpellId s11, SpellId s20, SpellId s21,
                   int w = 160, int h = 120, bool fullscreen = false);
// A state of the test's own (callbacks may be null), started at once.
void HpRunState(GameStateId id, GsmCallback load, GsmCallback init, GsmCallback update,
                GsmCallback draw, GsmCallback free, GsmCallback unload);

// ---- Frames and input. Keys and pads travel through SDL like real ones.
bool HpStep(int frames = 1);                     // false once the loop has ended
bool HpStepUntil(GameStateId id, int frames);    // true when `id` became current in time
int HpFramesWhileIn(GameStateId id, int limit);  // frames stepped until another state is current
// Steps until pred holds (checked after each), at most max: the steps taken, -1 if it never held.
template <class Pred>
int HpStepsUntil(Pred pred, int max) {
  for (int i = 1; i <= max && HpStep(1); ++i)
    if (pred()) return i;
  return -1;
}
inline int HpUpdates(double seconds) { return (int)(seconds / 0.016); }  // battle updates
void HpKeyDown(int vk, bool alt = false);
void HpKeyUp(int vk, bool alt = false);
void HpPress(int vk);                            // down for a frame, then up for a frame
void HpPress(std::initializer_list<int> keys);   // one after the other
void HpAltF4();                                  // the frame that sees it runs
// Virtual pads by the classic bit values (PAD_A, ...): pad i of the test is gamepad i + 1.
int HpPadAttach();                               // found at once; -1 on failure
void HpPadDetach(int pad);
void HpPadDetachAll();
void HpPadButtons(int pad, uint16_t bits, bool down);
void HpPadPress(int pad, uint16_t bits);
void HpPadAxis(int pad, int sdlAxis, int16_t value);     // SDL's axis: y grows downward
void HpPadTrigger(int pad, int sdlAxis, uint8_t value);  // the smallest pull that reads as it
struct HpRumble { uint16_t low, high; int calls; };
HpRumble HpPadRumble(int pad);                   // the last speeds SDL handed to the pad

// ---- Pixels of the last frame, captured before the swap; (x, y) from the top-left.
void HpCapture(bool on);
uint32_t HpPixel(int x, int y);                  // 0xAARRGGBB
int HpFrameWidth();
int HpFrameHeight();
// Pixels within tolerance of rgb in a rectangle in reference units (centre origin, y up, at the
// current screen's scale).
int HpCountPixels(float x0, float y0, float x1, float y1, unsigned rgb, int tolerance = 8);

// ---- What is alive.
struct HpLive {
  int textures, meshes, fonts;
  bool operator==(const HpLive& o) const { return !memcmp(this, &o, sizeof o); }
};
HpLive HpLiveNow();

// ---- The battle.
// Spawned in a lane by the owner's arrow and stood at x; held troops get speed factor 0.
Troop* HpTroop(TroopKind kind, int lane, bool rightSide, float x, bool hold = true);
void HpTroopMoveTo(Troop* t, float x);  // with its bar and marker, as marching would
int HpTroopCount(bool rightSide);
// The cast key held for one update (the cursor first put on slot: 0 built-in, 1 and 2 chosen).
void HpCast(int player, int slot);
void HpPressCast(int player);

// ---- Sound.
std::string HpTempPath(const std::string& name);         // in a private temporary folder
// A PCM wave file of any shape, its samples from sample(i) (a 440 Hz tone: HpSineWav).
bool HpWav(const std::string& path, int channels, int rate, int bits, uint32_t frames,
           int (*sample)(uint32_t i));
std::string HpSineWav(const std::string& name, double seconds);  // mono, in the temporary folder
void HpUseWaveBackend(const std::string& mixPath);       // before the program's first OpenAL call
// The mix's own clock: seconds of sound the device has mixed, a position in the wave file. What
// an action changes is heard from the clock read before it, at most a mixing period (23 ms)
// after the clock read after it.
double HpMixClock();
// Waits until the device has mixed `seconds` more, stepping a game frame every 10 ms if asked.
void HpMixFor(double seconds, bool frames = false);
struct HpMix {
  int rate = 0;
  std::vector<float> samples;  // mono, -1..1
  double Seconds() const { return rate ? (double)samples.size() / rate : 0.0; }
  double Rms(double from, double to) const;  // seconds from the device's opening
};
bool HpReadMix(const std::string& path, HpMix* out);

// ---- The game as a program of its own beside the test (online play): ./hollow-pikes of the
// build tree with a runtime and a data folder of its own (its single-instance lock and files
// apart from any other copy), its standard output and error in files.
struct HpProgram {
  int pid = -1;
  std::string folder, out, err;
};
HpProgram HpGameStart(const std::vector<std::string>& args);
int HpGameWait(HpProgram& p);  // its exit status, or 128 + the signal that ended it
bool HpGameEnded(HpProgram& p, int* status);  // the same without waiting: false while it runs
std::string HpFileText(const std::string& path);

// ---- Data folders and whole games.
// A fresh temporary working folder; with data, its data/ links every real file (damage replaces
// a link, never the original). Leave goes back and removes it.
bool HpFolderEnter(bool withData);
std::string HpMakeTempFolder(const char* prefix);  // a new empty folder; "" on failure

// ---- The platform's own (hp_os_posix.cpp, hp_os_windows.cpp).
void HpSetEnv(const char* name, const char* value);  // null removes it
bool HpLinkFile(const std::filesystem::path& from, const std::filesystem::path& to);
void HpFolderLeave();
bool HpTruncate(const char* path, size_t keepBytes);
bool HpGarbage(const char* path);
bool HpRemove(const char* path);
// The whole run on the working folder as it is: menu, battle (`check` looks at what loaded),
// Settings and back, a round won by player 1 and the next one, Alt+F4, nothing left behind.
void HpPlayMatchRound(void (*check)());

