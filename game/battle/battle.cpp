// battle.cpp - the battle state: the six callbacks, the order of a battle update, the goal and
// exhaustion checks and the end of a round with its two-second delay.
#include "battle/battle.h"

#include "battle/battle_layout.h"
#include "battle/board.h"
#include "battle/controls.h"
#include "battle/hud.h"
#include "battle/pause.h"
#include "battle/spells.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "keinput.h"
#include "kesystem.h"
#include "screens/screen.h"
#include "states.h"
#include "troops/troop.h"

namespace {

const float kRoundEndDelay = 2.0f;
const float kChargedTimer = 20.0f;  // every slot starts the round charged

BattleRound gRound = {{false, false}, kRoundEndDelay, false};

void ResetPlayers() {
  for (int i = 0; i < 2; ++i) {
    BattlePlayer& p = BoardPlayer(i);
    for (SpellSlot& s : p.spellSlots) {
      s.cooldownTimer = 0;
      s.ready = true;
    }
    for (SummonSlot& s : p.summonSlots) s.chargeTimer = kChargedTimer;
    p.freezeTimer = 0;
    p.frozen = false;
    p.lane = 0;
    p.energy = kStartEnergy;
  }
}

void StopRumble() {
  InputPadStopVibration(0);
  InputPadStopVibration(1);
}

// The loser's hero loses a health point unless the debug switch says otherwise. The round that
// ends the match leaves roundWinner alone: the results screen shows the match instead.
void EndRound() {
  if (gRound.scored[0] && gRound.scored[1]) {
    gMatch.roundWinner = Round_Draw;
  } else {
    int loser = gRound.scored[1] ? 0 : 1;
    bool matchOver = false;
    if (!gRound.noHealthLoss) matchOver = --gMatch.heroHealth[loser] == 0;
    if (!matchOver) gMatch.roundWinner = gRound.scored[1] ? Round_P2Won : Round_P1Won;
  }
  ScreenHandOver(GS_RoundOver);
}

void RoundEndStep() {
  if (BattleRoundRunning()) return;
  gRound.roundEndDelay -= (float)SysGetFrameTime();
  if (gRound.scored[0] != gRound.scored[1]) StopRumble();
  if (gRound.roundEndDelay <= 0) EndRound();
}

void DebugKeys() {
  if (InputIsPressed(VK_CONTROL) && InputIsPressed('R')) {
    gRound.scored[0] = gRound.scored[1] = true;
    gMatch.roundWinner = Round_Draw;
  }
  if (InputIsTriggered('G')) gRound.noHealthLoss = !gRound.noHealthLoss;
}

// Every troop over the far line scores for its side, dead or alive; both sides in one update
// is a draw.
void GoalCheck() {
  for (GameObject* o : BoardObjects().objects) {
    Troop* t = AsTroop(o);
    if (!t) continue;
    int side = t->rightSide ? 1 : 0;
    bool over = t->rightSide ? t->position.x <= -kGoalLineX : t->position.x >= kGoalLineX;
    if (!over) continue;
    if (ChannelSlot* music = BoardChannel(SND_Rally)) music->SetPaused(true);
    BoardPlay(SND_Goal);
    gRound.scored[side] = true;
  }
}

// Nothing left to summon and nobody standing: neither side can still win.
void ExhaustionCheck() {
  if (BoardPlayer(0).energy != 0 || BoardPlayer(1).energy != 0) return;
  for (GameObject* o : BoardObjects().objects)
    if (o->alive && AsTroop(o)) return;
  gRound.scored[0] = gRound.scored[1] = true;
}

void RunningStep() {
  BoardObjects().Update();
  BoardPauseChannels(false);
  UpdateLaneSelection();
  UpdateSummoning();
  UpdateSpellInput();
  DebugKeys();
  TickSummonCharges();
  TickSpellCooldowns();
  UpdateSpellTimers();
  GoalCheck();
  ExhaustionCheck();
}

}  // namespace

const BattleRound& BattleRoundState() { return gRound; }

bool BattleRoundRunning() { return !gRound.scored[0] && !gRound.scored[1]; }

void BattleSetNoHealthLoss(bool on) { gRound.noHealthLoss = on; }

void BattleLoad() {
  if (MatchAnyHold()) return;
  BoardLoad();
}

void BattleInit() {
  if (!MatchAnyHold()) {
    BoardForgetChannels();
    if (ChannelSlot* music = BoardPlay(SND_Rally)) music->SetLooping(true);
    LayoutBuildBackground();
    gRound.scored[0] = gRound.scored[1] = false;
    gRound.roundEndDelay = kRoundEndDelay;
    LayoutBuildHero(0);
    LayoutBuildHero(1);
    ResetPlayers();
    LayoutBuildArrows();
    LayoutBuildChosenSpells();
    LayoutBuildFrames();
    PauseReset();
    // The last round's meteor marker was freed with its objects.
    SpellsRoundStart();
    battleOnHold = false;
  }
  BoardUseQuad();
  holdForHowToPlay = holdForSettings = holdForCredits = false;
}

void BattleUpdate() {
  if (!ScreenPrologue(gAudio, {BoardChannel(SND_Rally), BoardChannel(SND_Goal),
                               BoardChannel(SND_Select), BoardChannel(SND_Execute),
                               BoardChannel(SND_Freeze), BoardChannel(SND_Boost),
                               BoardChannel(SND_Stun), BoardChannel(SND_Meteor),
                               BoardChannel(SND_Quake), BoardChannel(SND_Poison),
                               BoardChannel(SND_Wind)})) {
    StopRumble();
    return;
  }
  BoardSetVolumes();
  PauseUpdate();
  gAudio.Update();
  if (!PauseIsOpen()) {
    RoundEndStep();
    if (BattleRoundRunning()) RunningStep();
  } else {
    // Every battle sound waits, except the pause menu's click, which would never be heard. The
    // click is the menu's own live one: a reference of an ended sound may share its slot, or a
    // stale click reference the slot of a sound that must wait.
    ChannelSlot* click = PauseClick();
    for (int s = 0; s < SND_Count; ++s) {
      ChannelSlot* c = BoardChannel((BattleSound)s);
      if (c && c != click) c->SetPaused(true);
    }
    if (click) click->SetPaused(false);
    gAudio.Update();
    InputPadSetVibration(0, 0);
    InputPadSetVibration(1, 0);
  }
  ScreenCheckF11();
}

void BattleDraw() {
  BoardObjects().Draw(ScreenScale());
  DrawBattleTexts();
  PauseDraw();
  DrawPlayerTags();
}

void BattleFree() {
  if (MatchAnyHold()) return;
  BoardObjects().Free();
}

void BattleUnload() {
  if (MatchAnyHold()) return;
  BoardUnload();
}
