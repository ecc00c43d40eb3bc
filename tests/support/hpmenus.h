// hpmenus.h - test support for the menu screens: the real game's screens and sound instances on
// the headless engine, started on any screen, with key and pad presses that last one frame.
#pragma once
#include <cstdint>
#include <ostream>

#include "kegsm.h"
#include "states.h"

// Engine windowed at 800 by 600, the four sound instances, every screen registered, the
// settings, full-screen flags and hold flags at their start values, the state manager on
// `first`. Leaves the first frame to the caller. A smaller window shows only the middle of the
// board (at the scale of the selected size) but draws much faster.
bool MenusStart(GameStateId first, int w = 800, int h = 600);
// Requests GS_Quit unless the run has ended, steps until it has, shuts the sound and the engine.
void MenusStop();

// A press: down for one frame, then up for one frame (so the next press is a new one).
void MenusPress(int vk);
// Alt held with F4 pressed; the frame that sees it runs.
void MenusAltF4();
// The same for the classic-bit buttons of a pad handle from TestPadAttach.
void MenusPadPress(int pad, uint16_t bits);
// Attaches n pads and polls at once: pad i of the tests is gamepad i + 1 of the game.
void MenusAttachPads(int n, int* pads);
// What the pause menu does to open a screen over the battle: the battle's full-screen flag goes
// to the screen, the battle is put on hold for it and the screen is requested.
void MenusHoldBattleFor(GameStateId screen);

// The engine's live graphics resources (the leak report at exit lists what is left).
struct LiveCounts {
  int textures, meshes, fonts;
  bool operator==(const LiveCounts& o) const {
    return textures == o.textures && meshes == o.meshes && fonts == o.fonts;
  }
};
inline std::ostream& operator<<(std::ostream& out, const LiveCounts& c) {
  return out << c.textures << " textures, " << c.meshes << " meshes, " << c.fonts << " fonts";
}
LiveCounts MenusLiveCounts();

// Started on GS_Battle: opens the screen over the running battle as the pause menu does, flips
// full screen there with F11 and goes back with Esc. Expects the battle back, holding the flag
// the screen handed over, with its resources and quad as they were and the screen's released.
void MenusExpectBackToHeldBattle(GameStateId screen);
// Started on GS_Battle: opens the screen over the battle and quits with Alt+F4. Expects the run
// to end with every resource of both released (the counts of before the battle loaded).
void MenusExpectAltF4ReleasesHeldBattle(GameStateId screen, const LiveCounts& before);

// Steps until the current state is `id`, at most `frames` frames; true if it got there.
bool MenusStepUntil(GameStateId id, int frames);
