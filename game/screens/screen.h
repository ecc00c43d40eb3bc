// screen.h - what every screen shares: the settings, the per-state full-screen flags and their
// hand-over, the drawing scale, the Update prologue, the F11 check, channel volumes, text labels.
//
// A screen's Update runs, in this order: ScreenPrologue (return when it says so), the volume of
// each channel it keeps (ScreenKeepChannel), its ObjectList's Update and its AudioSystem's Update,
// its own logic (changing screens through ScreenHandOver), and last ScreenCheckF11.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "framework/gameobject.h"
#include "kegsm.h"
#include "kemath.h"

class AudioSystem;
struct ChannelSlot;
struct Font;
struct Texture;

// Settings: changed only by the settings screen; every run starts at these defaults.
extern float musicVolume;        // 1.0
extern int32_t musicVolumeStep;  // 10: musicVolume in tenths
extern float soundVolume;        // 1.0
extern int32_t soundVolumeStep;  // 10
extern bool muted;               // false
extern int32_t windowSizeIndex;  // 0: into kWindowSizes

struct WindowSize {
  int32_t width, height;
};
const int kWindowSizeCount = 9;
extern const WindowSize kWindowSizes[kWindowSizeCount];  // all 4:3, 800 x 600 up to 2048 x 1536

// A screen as the state manager runs it: its id, its six callbacks, the list of its objects and
// its own full-screen flag (its flag, not the window, decides the scale it draws at).
struct ScreenEntry {
  GameStateId id;
  GsmCallback load, init, update, draw, free, unload;
  bool fullscreen;  // only the main menu's is set at start, as the game starts in full screen
  ObjectList objects;
};
// Serves the screens' lists and flags from the game's table from then on.
void ScreenUseTable(ScreenEntry* table, int count);
// ScreenUseTable, then every screen of the table registered with the state manager in order.
void ScreenRegisterAll(ScreenEntry* table, int count);
// The flag of a registered screen.
bool& ScreenFullscreenFlag(GameStateId id);
// Requests the next screen after handing it the current screen's flag, so that it draws at the
// scale the window now has.
void ScreenHandOver(GameStateId next);

// Reference units (800 by 600) to pixels. In full screen the largest factor that fits the
// display, min(w / 800, h / 600); windowed, the selected window size over 800 by 600.
Vec2 ScreenScaleOf(GameStateId id);
Vec2 ScreenScale();  // of the current state

// Volumes for music and for selection and effect sounds, 0 while muted: channels start with
// them and are given them again every frame.
float ScreenMusicVolume();
float ScreenSoundVolume();
// The per-frame step for a channel the screen keeps: volume, and unpaused after a restore.
void ScreenKeepChannel(ChannelSlot* slot, float volume);

// The start of every Update. While the window is minimised it pauses the screen's channels,
// updates its audio and returns false: Update then returns too. Otherwise Alt+F4 requests
// GS_Quit and a window without focus is minimised.
bool ScreenPrologue(AudioSystem& audio, std::initializer_list<ChannelSlot*> channels);
bool ScreenIsMinimised();
// While on, a minimised window no longer stops the Update (its channels still wait): in a game
// played in step with another machine, a machine that stopped would stop both.
void ScreenSetKeepRunning(bool on);
// The end of every Update: F11 flips full screen and the current screen's flag. True if it did.
bool ScreenCheckF11();

// Unload's common steps: every picture unloaded and its slot cleared; the quad and the font freed.
void ScreenUnloadPictures(Texture** pictures, int count);
template <size_t N>
void ScreenUnloadPictures(Texture* (&pictures)[N]) { ScreenUnloadPictures(pictures, (int)N); }
void ScreenFreeQuadAndFont(Font** font);

// Text at reference position (x, y) and text scale k, both scaled by ScreenScale.
void ScreenPrint(Font* font, const char* text, float x, float y, float k, uint32_t color);
// The same over a thin dark outline, for text on a busy or light picture.
void ScreenPrintOutlined(Font* font, const char* text, float x, float y, float k, uint32_t color);
// k, or the smaller scale at which the text's drawn width fits `width` reference units (a
// width of 0 or less sets no limit).
float ScreenFitScale(Font* font, const char* text, float k, float width);

// A text label with a buffer of fixed capacity N (terminator included); formatting truncates.
template <size_t N>
struct ScreenLabel {
  static_assert(N >= 2, "a label holds at least one character");
  char text[N] = "";
  float x = 0, y = 0, k = 1;
  uint32_t color = 0xFFFFFFFF;
  float width = 0;        // its slot in reference units: a wider text shrinks to fit (0: none)
  bool outlined = false;  // drawn over a thin dark outline

  void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, fmt);
    vsnprintf(text, N, fmt, args);
    va_end(args);
  }
  void Print(Font* font) const {
    float fitted = ScreenFitScale(font, text, k, width);
    if (outlined) ScreenPrintOutlined(font, text, x, y, fitted, color);
    else ScreenPrint(font, text, x, y, fitted, color);
  }
};
