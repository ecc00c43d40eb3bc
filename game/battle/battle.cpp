// battle.cpp - the battle state: the six callbacks, the order of a battle update, the goal and
// exhaustion checks and the end of a round with its two-second delay.
#include "battle/battle.h"

#include "battle/battle_board.h"
#include "battle/controls.h"
#include "battle/hud.h"
#include "battle/pause.h"
#include "battle/spells.h"
#include "framework/audio.h"
#include "framework/gameobject.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"
#include "screens/screen.h"

BattlePlayer gPlayers[2];
bool scored[2];
float roundEndDelay = 2.0f;
bool noHealthLoss = false;

namespace {

const float kRoundEndDelay = 2.0f;
const float kChargedTimer = 20.0f;  // every slot starts the round charged

bool RoundRunning() { return !scored[0] && !scored[1]; }

void ResetPlayers() {
  for (BattlePlayer& p : gPlayers) {
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
  if (scored[0] && scored[1]) {
    gMatch.roundWinner = Round_Draw;
  } else {
    int loser = scored[1] ? 0 : 1;
    bool matchOver = false;
    if (!noHealthLoss) matchOver = --gMatch.heroHealth[loser] == 0;
    if (!matchOver) gMatch.roundWinner = scored[1] ? Round_P2Won : Round_P1Won;
  }
  ScreenHandOver(GS_RoundOver);
}

void RoundEndStep() {
  if (RoundRunning()) return;
  roundEndDelay -= (float)SysGetFrameTime();
  if (scored[0] != scored[1]) StopRumble();
  if (roundEndDelay <= 0) EndRound();
}

void DebugKeys() {
  if (InputIsPressed(VK_CONTROL) && InputIsPressed('R')) {
    scored[0] = scored[1] = true;
    gMatch.roundWinner = Round_Draw;
  }
  if (InputIsTriggered('G')) noHealthLoss = !noHealthLoss;
}

// Every troop over the far line scores for its side, dead or alive; both sides in one update
// is a draw.
void GoalCheck() {
  for (GameObject* o : BattleObjects().objects) {
    Troop* t = AsTroop(o);
    if (!t) continue;
    int side = t->rightSide ? 1 : 0;
    bool over = t->rightSide ? t->position.x <= -kGoalLineX : t->position.x >= kGoalLineX;
    if (!over) continue;
    if (ChannelSlot* music = BattleChannel(SND_Rally)) music->SetPaused(true);
    BattlePlay(SND_Goal);
    scored[side] = true;
  }
}

// Nothing left to summon and nobody standing: neither side can still win.
void ExhaustionCheck() {
  if (gPlayers[0].energy != 0 || gPlayers[1].energy != 0) return;
  for (GameObject* o : BattleObjects().objects)
    if (o->alive && AsTroop(o)) return;
  scored[0] = scored[1] = true;
}

void RunningStep() {
  BattleObjects().Update();
  BoardPauseChannels(false);
  UpdateLaneSelection();
  UpdateSummoning();
  UpdateSpellInput();
  DebugKeys();
  UpdateSpellTimers();
  GoalCheck();
  ExhaustionCheck();
}

}  // namespace

void BattleLoad() {
  if (MatchAnyHold()) return;
  BoardLoadResources();
}

void BattleInit() {
  if (!MatchAnyHold()) {
    BoardForgetChannels();
    if (ChannelSlot* music = BattlePlay(SND_Rally)) music->SetLooping(true);
    BoardBuildBackground();
    scored[0] = scored[1] = false;
    roundEndDelay = kRoundEndDelay;
    BoardBuildHero(0);
    BoardBuildHero(1);
    ResetPlayers();
    BoardBuildArrows();
    BoardBuildChosenSpells();
    BoardBuildFrames();
    PauseReset();
    // The last round's meteor marker was freed with its objects.
    SpellsRoundStart();
    battleOnHold = false;
  }
  BoardUseQuad();
  holdForHowToPlay = holdForSettings = holdForCredits = false;
}

void BattleUpdate() {
  if (!ScreenPrologue(gAudio, {BattleChannel(SND_Rally), BattleChannel(SND_Goal),
                               BattleChannel(SND_Select), BattleChannel(SND_Execute),
                               BattleChannel(SND_Freeze), BattleChannel(SND_Boost),
                               BattleChannel(SND_Stun), BattleChannel(SND_Meteor),
                               BattleChannel(SND_Quake), BattleChannel(SND_Poison),
                               BattleChannel(SND_Wind)})) {
    StopRumble();
    return;
  }
  BoardSetVolumes();
  PauseUpdate();
  gAudio.Update();
  if (!battlePaused) {
    RoundEndStep();
    if (RoundRunning()) RunningStep();
  } else {
    // Every battle sound waits, except the pause menu's click, which would never be heard. The
    // click is the menu's own live one: a reference of an ended sound may share its slot, or a
    // stale click reference the slot of a sound that must wait.
    ChannelSlot* click = PauseClick();
    for (int s = 0; s < SND_Count; ++s) {
      ChannelSlot* c = BattleChannel((BattleSound)s);
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
  BattleObjects().Draw();
  DrawBattleTexts();
  PauseDraw();
  DrawPlayerTags();
}

void BattleFree() {
  if (MatchAnyHold()) return;
  BattleObjects().Free();
}

void BattleUnload() {
  if (MatchAnyHold()) return;
  BoardUnloadResources();
}
