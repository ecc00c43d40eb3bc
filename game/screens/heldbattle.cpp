// heldbattle.cpp - the shared steps of the screens opened over a paused battle: the quad kept
// apart from the battle's, the way back, and the release of a battle left on hold.
#include "screens/heldbattle.h"

#include "battle/battle.h"
#include "battle/match.h"
#include "framework/quad.h"
#include "kegraphics.h"
#include "screens/screen.h"
#include "states.h"

namespace {

struct HeldBattleState {
  Mesh* battleQuad = nullptr;  // the held battle's gQuadMesh while our own is in its place
};
HeldBattleState gHeld;

void HeldBattleQuadFree() {
  GfxMeshFree(gQuadMesh);
  gQuadMesh = gHeld.battleQuad;
  gHeld.battleQuad = nullptr;
}

}  // namespace

void HeldBattleQuadCreate() {
  gHeld.battleQuad = battleOnHold ? gQuadMesh : nullptr;
  gQuadMesh = CreateQuadMesh();
}

void HeldBattleReturn(bool holdFlag) {
  if (holdFlag) {
    battleOnHold = false;
    ScreenHandOver(GS_Battle);
  } else {
    ScreenHandOver(GS_MainMenu);
  }
}

void HeldBattleReleaseFree(bool* holdFlag) {
  if (!battleOnHold) return;
  *holdFlag = false;
  BattleFree();
}

void HeldBattleUnload(bool* holdFlag) {
  HeldBattleQuadFree();
  if (!battleOnHold) return;
  *holdFlag = false;
  BattleUnload();
  battleOnHold = false;  // released: nothing is held any more
}
