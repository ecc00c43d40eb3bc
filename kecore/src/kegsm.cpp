// kegsm.cpp - the game state manager: registered screens and the load/init/frames/free/unload
// loop. The loop is a sequence of steps so tests can advance it one frame at a time.
#include "kegsm.h"

#include <cstdio>

#include "kelog.h"
#include "kesystem.h"

namespace {

void NoOp() {}
bool Yes() { return true; }

struct GameStateEntry {
  GameStateId id;
  GsmCallback load, init, update, draw, free, unload;
};

struct GsmState {
  GameStateEntry table[64];
  uint8_t count = 0;
  GameStateId current = 0, previous = 0, next = 0;
  GsmCallback load = NoOp, init = NoOp, update = NoOp, draw = NoOp, free = NoOp, unload = NoOp;
  bool entered = false;  // Load and Init of the current state have run
  GsmCallback afterUpdate = NoOp;
  bool (*gate)() = Yes;
  GsmCallback afterDraw = NoOp;
};
GsmState gGsm;

GsmCallback OrNoOp(GsmCallback fn) {
  return fn ? fn : NoOp;
}

void RunFrame() {
  SysFrameStart();
  // A window destroyed during the pump ends the run; this frame still updates and draws.
  if (!SysIsRunning()) GsmSetNextState(GS_Quit);
  if (gGsm.gate()) {
    gGsm.update();
    gGsm.afterUpdate();
  }
  if (!SysIsHeadless()) {  // nobody would see it
    gGsm.draw();
    gGsm.afterDraw();
  }
  SysFrameEnd();
}

// The leaving phase: Free, and unless restarting, Unload and the switch to the next state.
void Leave() {
  gGsm.free();
  if (gGsm.next != GS_Restart) {
    gGsm.unload();
    gGsm.previous = gGsm.current;
    gGsm.current = gGsm.next;
    GsmUpdate();
  }
  gGsm.entered = false;
}

}  // namespace

void GsmAddState(GameStateId id, GsmCallback load, GsmCallback init, GsmCallback update,
                 GsmCallback draw, GsmCallback free, GsmCallback unload) {
  for (int i = 0; i < gGsm.count; ++i)
    if (gGsm.table[i].id == id) return;  // the first registration wins
  gGsm.table[gGsm.count] = {id, load, init, update, draw, free, unload};
  gGsm.count = (uint8_t)(gGsm.count + 1);
}

void GsmInit(GameStateId start) {
  gGsm.current = gGsm.previous = gGsm.next = start;
  gGsm.entered = false;
  GsmUpdate();
}

void GsmUpdate() {
  if (gGsm.current == GS_Quit || gGsm.current == GS_Restart) {
    gGsm.load = gGsm.init = gGsm.update = gGsm.draw = gGsm.free = gGsm.unload = NoOp;
    return;
  }
  for (int i = 0; i < gGsm.count; ++i) {
    const GameStateEntry& e = gGsm.table[i];
    if (e.id != gGsm.current) continue;
    gGsm.load = OrNoOp(e.load);
    gGsm.init = OrNoOp(e.init);
    gGsm.update = OrNoOp(e.update);
    gGsm.draw = OrNoOp(e.draw);
    gGsm.free = OrNoOp(e.free);
    gGsm.unload = OrNoOp(e.unload);
    return;
  }
}

bool GsmStep() {
  for (;;) {
    if (!gGsm.entered) {
      if (gGsm.next == GS_Quit) return false;
      if (gGsm.next == GS_Restart) gGsm.next = gGsm.current;
      else gGsm.load();
      gGsm.init();
      gGsm.entered = true;
    }
    if (gGsm.current == gGsm.next) {
      RunFrame();
      return true;  // a change requested in this frame is carried out by the next step
    }
    Leave();
  }
}

void GsmRun() {
  while (GsmStep()) {
  }
}

void GsmSetNextState(GameStateId id) {
  if (id != GS_Quit && id != GS_Restart && !GsmIsRegistered(id)) {
    LogPrint("[gsm] ignoring a request for unregistered state %d\n", (int)id);
    return;
  }
  gGsm.next = id;
}

void GsmSetUpdateHook(GsmCallback hook) {
  gGsm.afterUpdate = OrNoOp(hook);
}

void GsmSetUpdateGate(bool (*gate)()) {
  gGsm.gate = gate ? gate : Yes;
}

void GsmSetDrawHook(GsmCallback hook) {
  gGsm.afterDraw = OrNoOp(hook);
}

GameStateId GsmGetCurrentState() {
  return gGsm.current;
}

GameStateId GsmGetPreviousState() {
  return gGsm.previous;
}

GameStateId GsmGetNextState() {
  return gGsm.next;
}

bool GsmIsRegistered(GameStateId id) {
  for (int i = 0; i < gGsm.count; ++i)
    if (gGsm.table[i].id == id) return true;
  return false;
}

void GsmReset() {
  gGsm = GsmState();
}
