// online_frames.cpp - the frames of an online game: which frames are played (both seats' presses
// here, the two machines kept abreast), the input each played frame is given, the screens only
// one machine shows, the ends both machines reach on the same frame, and the state hashes.
#include <cstdio>

#include "battle/battle.h"
#include "battle/board.h"
#include "battle/match.h"
#include "battle/pause.h"
#include "battle/spells.h"
#include "kegsm.h"
#include "kelog.h"
#include "kenet.h"
#include "kesystem.h"
#include "online/online_input.h"
#include "online/online_session.h"
#include "online/online_state.h"
#include "screens/heroselect.h"
#include "screens/mainmenu.h"
#include "screens/screen.h"
#include "screens/spellselect.h"
#include "states.h"

namespace {

const double kKeepAlive = 0.03;   // seconds: the presses are sent again when nothing else went
const double kFastWait = 0.02;    // fast play waits this long for the other machine per frame
const double kFrameWait = 0.004;  // paced play waits this long within its frame
const double kCloseLimit = 2.0;   // seconds an ending machine waits for the other to catch up
const uint32_t kSyncPause = 30;   // frames between two waits that let the other catch up
const float kEarlinessWeight = 0.1f;

bool SharedScreen(GameStateId id) {
  return id == GS_HeroSelect || id == GS_SpellSelect || id == GS_Battle || id == GS_RoundOver;
}

bool OwnScreen(GameStateId id) {
  return id == GS_HowToPlay || id == GS_Settings || id == GS_Credits;
}

int PeerPlayer() { return gOnline.seat == 0 ? 2 : 1; }

// The seat a press of Space is for: the player choosing on the book, or the pause menu's owner.
int SpaceReader() {
  switch (GsmGetCurrentState()) {
    case GS_HeroSelect: return HeroSelectChooser();
    case GS_SpellSelect: return SpellSelectChooser();
    case GS_Battle: return PauseIsOpen() ? PauseOpener() : -1;
    default: return -1;
  }
}

// F11 and Alt+F4 answer on every frame, played or not; before the play begins Esc ends it.
void LocalKeys() {
  ScreenCheckF11();
  if (InputIsPressed(KEY_ALT) && InputIsTriggered(VK_F4)) GsmSetNextState(GS_Quit);
  if (GsmGetNextState() == GS_Quit) gOnline.quitting = true;  // also a closed window
  bool before = gOnline.phase != ONLINE_Playing;
  if (before && InputIsTriggered(VK_ESCAPE))
    OnlineOver(gOnline.seat == 0 ? "Hosting stopped." : "Joining stopped.", BYE_Stopped);
}

void StartClosing(const char* line, GameStateId then) {
  OnlineClosing& c = gOnline.closing;
  c.on = true;
  c.deadline = OnlineNow() + kCloseLimit;
  c.then = then;
  snprintf(c.line, sizeof c.line, "%s", line);
  GsmSetNextState(GsmGetCurrentState());
}

void ClosingStep() {
  bool caughtUp = gOnline.lockstep.peerNext >= gOnline.lockstep.next;
  if (caughtUp || OnlineNow() > gOnline.closing.deadline) OnlineFinishClosing();
}

void NotePlayed() {
  OnlineFigures& f = gOnline.figures;
  f.frames += 1;
  if (f.stallStart == 0) {
    f.onTime += 1;
  } else {
    double stall = OnlineNow() - f.stallStart;
    if (stall > f.longestStall) f.longestStall = stall;
    f.stallStart = 0;
  }
  gOnline.waitingSince = 0;
  gOnline.framesThisSecond += 1;
}

// A wait while the other machine shows a screen of its own is no stall of the network.
void NoteWait(double frameStart) {
  if (gOnline.lockstep.peerAway) {
    gOnline.figures.stallStart = 0;
    return;
  }
  gOnline.figures.waits += 1;
  if (gOnline.figures.stallStart == 0) gOnline.figures.stallStart = frameStart;
  if (gOnline.waitingSince == 0) gOnline.waitingSince = frameStart;
}

// The machine that is ahead gets the other's presses later than the other gets its own: it
// waits a frame now and then until both have the same room.
bool SyncWait() {
  const Lockstep& l = gOnline.lockstep;
  if (gOnline.config.fast || l.peerAway || l.next < gOnline.syncWaitUntilFrame) return false;
  if ((l.peerEarliness - l.earliness) / 2 < 1.0f) return false;
  gOnline.syncWaitUntilFrame = l.next + kSyncPause;
  return true;
}

void WaitForPresses() {
  double until = OnlineNow() + (gOnline.config.fast ? kFastWait : kFrameWait);
  while (gOnline.phase == ONLINE_Playing && !LockstepReady(gOnline.lockstep) && OnlineNow() < until)
    OnlineService(1);
}

void GiveFrameInput() {
  const Lockstep& l = gOnline.lockstep;
  uint32_t now[2], before[2];
  for (int seat = 0; seat < 2; ++seat) {
    now[seat] = LockstepPresses(l, seat, l.next);
    before[seat] = l.next ? LockstepPresses(l, seat, l.next - 1) : 0;
  }
  OnlineInputBuild(gOnline.frame, now, before, SpaceReader(), gOnline.seat);
  InputUseFrame(&gOnline.frame);
  // The played frame reads no clock; the screens of this machine alone (the logos, Settings)
  // keep the measured time.
  SysSetFrameTimeFixed(true);
  gOnline.playingFrame = true;
}

bool PlayStep(double frameStart) {
  uint32_t now = OnlineInputRead();
  gOnline.ignored &= now;
  gOnline.held |= now & ~gOnline.ignored;
  if (!LockstepReady(gOnline.lockstep)) WaitForPresses();
  if (gOnline.phase != ONLINE_Playing) return false;
  if (!LockstepReady(gOnline.lockstep) || SyncWait()) {
    NoteWait(frameStart);
    return false;
  }
  NotePlayed();
  LockstepSample(gOnline.lockstep, gOnline.held);
  gOnline.held = 0;
  OnlineSendPresses();
  GiveFrameInput();
  return true;
}

// Fast play has no frame pacing: a frame that only waits for the network waits for it a little.
void IdleWait() {
  if (gOnline.config.fast) OnlineService(5);
}

// The logos play as on any start; then both players go to the hero selection (the joiner once
// it is connected), and the menu waits meanwhile.
bool MenuStep() {
  if (!MainMenuStartUnderArrow()) return true;
  bool go = gOnline.seat == 0 || gOnline.phase == ONLINE_Meeting || gOnline.phase == ONLINE_Playing;
  if (go) {
    ScreenHandOver(GS_HeroSelect);
    gOnline.ignored = OnlineInputRead();
  } else {
    LocalKeys();
    IdleWait();
  }
  return false;
}

bool GateStep(double frameStart) {
  GameStateId screen = GsmGetCurrentState();
  if (gOnline.phase == ONLINE_Over) {
    // The screen the game ended on is being left: it plays no frame on this machine's input.
    if (GsmGetNextState() != screen) return false;
    // A run that was to play a number of matches leaves once it is back on the menu.
    if (gOnline.exitStatus && screen == GS_MainMenu) GsmSetNextState(GS_Quit);
    return true;
  }
  if (gOnline.away) {
    if (screen != GS_Battle) return true;  // that screen runs on this machine's own input
    gOnline.away = false;
    gOnline.ignored = OnlineInputRead();
  }
  if (screen == GS_MainMenu) return MenuStep();
  if (OwnScreen(screen) || !SharedScreen(screen)) return true;
  LocalKeys();
  if (gOnline.phase == ONLINE_Meeting && gOnline.seat == 1 && !gOnline.readySent) {
    WireMessage ready = {};
    ready.type = WIRE_Ready;
    gOnline.readySent = OnlineSend(ready, true);
  }
  if (gOnline.phase != ONLINE_Playing) {
    IdleWait();
    return false;
  }
  if (gOnline.closing.on) {
    ClosingStep();
    IdleWait();
    return false;
  }
  return PlayStep(frameStart);
}

void WriteReport(uint32_t frame, char* path, size_t size) {
  char folder[512];
  SysUserFolder("hollow-pikes", folder, sizeof folder);
  snprintf(path, size, "%sdesync-frame-%u-player-%d.txt", folder, (unsigned)frame,
           gOnline.seat + 1);
  const OnlineStateDump& d = gOnline.dumps[(frame / kLockstepHashEvery) % kOnlineDumps];
  FILE* f = fopen(path, "w");
  if (!f) {
    snprintf(path, size, "(the report could not be written)");
    return;
  }
  if (d.frame == frame) fputs(d.text.c_str(), f);
  else fprintf(f, "no state kept for frame %u\n", (unsigned)frame);
  fclose(f);
}

}  // namespace

void OnlineDesync(uint32_t frame, bool tell) {
  if (tell) {
    WireMessage bye = {};
    bye.type = WIRE_Bye;
    bye.value = BYE_Desync;
    bye.frame = frame;
    OnlineSend(bye, true);
  }
  char path[600], line[800];
  WriteReport(frame, path, sizeof path);
  snprintf(line, sizeof line, "out of step with player %d at frame %u: the online game is over "
           "(this machine's state: %s)", PeerPlayer(), (unsigned)frame, path);
  OnlineOver(line, 0);
}

namespace {

void HashNow() {
  uint32_t frame = gOnline.lockstep.next;
  OnlineStateDump& d = gOnline.dumps[(frame / kLockstepHashEvery) % kOnlineDumps];
  d.frame = frame;
  OnlineStateWrite(frame, &d.text);
  uint32_t hash = OnlineStateHash(d.text);
  LockstepOwnHash(gOnline.lockstep, frame, hash);
  WireMessage m = {};
  m.type = WIRE_Hash;
  m.frame = frame;
  m.value = hash;
  OnlineSend(m, true);
  if (uint32_t bad = LockstepMismatch(gOnline.lockstep)) OnlineDesync(bad, true);
}

void MatchEnd() {
  gOnline.matchesDone += 1;
  const char* winner = gOnline.winner == 0 ? "player 1 won" : gOnline.winner == 1 ? "player 2 won"
                                                                                   : "no winner";
  snprintf(gOnline.matchLine, sizeof gOnline.matchLine,
           "online: match %d: %s, %d rounds, %u frames, state %08x", gOnline.matchesDone, winner,
           gOnline.rounds, (unsigned)(gOnline.lockstep.next - gOnline.matchStart),
           (unsigned)gOnline.lastHash);
  printf("%s\n", gOnline.matchLine);
  fflush(stdout);
  if (gOnline.config.figures) OnlinePrintFigures();
  gOnline.matchStart = gOnline.lockstep.next;
  gOnline.rounds = 0;
  gOnline.winner = -1;
  if (gOnline.config.matches > 0 && gOnline.matchesDone >= gOnline.config.matches) {
    StartClosing("", GS_Quit);
    return;
  }
  ScreenHandOver(GS_HeroSelect);  // the next match, still connected
}

void BattleLeft(GameStateId next) {
  int opener = PauseOpener();
  if (next == GS_HowToPlay || next == GS_Settings || next == GS_Credits) {
    if (opener == gOnline.seat) {
      gOnline.away = true;
      return;
    }
    // Those screens open on the pauser's machine only: here the battle stays paused.
    holdForHowToPlay = holdForSettings = holdForCredits = battleOnHold = false;
    GsmSetNextState(GS_Battle);
    return;
  }
  if (next == GS_RoundOver) {
    gOnline.rounds += 1;
    if (gMatch.heroHealth[0] == 0) gOnline.winner = 1;
    if (gMatch.heroHealth[1] == 0) gOnline.winner = 0;
    std::string text;
    OnlineStateWrite(gOnline.lockstep.next, &text);
    gOnline.lastHash = OnlineStateHash(text);
    return;
  }
  // A quit from this machine's window (Alt+F4, its close button) leaves at once; the other
  // machine is told on the way out.
  if (next == GS_Quit && (gOnline.quitting || opener < 0 || !PauseQuestionShown())) return;
  const char* what = next == GS_MainMenu ? "went back to the menu"
                     : next == GS_Restart ? "restarted the match"
                                          : "quit the game";
  char line[120];
  snprintf(line, sizeof line, "Player %d %s: the online game is over.", opener + 1, what);
  bool quitting = next == GS_Quit && opener == gOnline.seat;
  StartClosing(line, quitting ? (GameStateId)GS_Quit : (GameStateId)GS_MainMenu);
}

}  // namespace

// The network layer's work is counted in processor time: its waits cost none.
bool OnlineGate() {
  double start = OnlineNow(), work = SysThreadSeconds();
  OnlineService(0);
  if (gOnline.phase == ONLINE_Playing && start - gOnline.lastSent > kKeepAlive) OnlineSendPresses();
  bool play = GateStep(start);
  gOnline.figures.workSeconds += SysThreadSeconds() - work;
  return play;
}

void OnlineAfterUpdate() {
  if (!gOnline.playingFrame) return;
  double work = SysThreadSeconds();
  gOnline.playingFrame = false;
  InputUseFrame(nullptr);
  SysSetFrameTimeFixed(false);
  LockstepAdvance(gOnline.lockstep);
  GameStateId screen = GsmGetCurrentState(), next = GsmGetNextState();
  if (next != screen && screen == GS_Battle) BattleLeft(next);
  if (next != screen && screen == GS_RoundOver && next == GS_MainMenu) MatchEnd();
  if (gOnline.phase == ONLINE_Playing && gOnline.lockstep.next % kLockstepHashEvery == 0) HashNow();
  gOnline.figures.workSeconds += SysThreadSeconds() - work;
}

void OnlineBeginPlay(uint32_t delay) {
  LockstepStart(gOnline.lockstep, gOnline.seat, delay);
  gOnline.phase = ONLINE_Playing;
  gOnline.matchStart = 0;
  gOnline.rounds = 0;
  gOnline.winner = -1;
  gOnline.held = 0;
  gOnline.ignored = OnlineInputRead();
  gOnline.waitingSince = 0;
  gOnline.syncWaitUntilFrame = 0;
  gOnline.closing = OnlineClosing();
  // Only the host pings; the joiner reports the library's measure from the meeting's packets.
  double roundTrip = gOnline.seat == 0 ? gOnline.figures.roundTripMs
                                       : NetPeerRoundTripMs(gOnline.net, gOnline.peer);
  gOnline.figures = OnlineFigures();
  gOnline.figures.since = OnlineNow();
  gOnline.figures.roundTripMs = roundTrip;
  // Both machines begin alike, whatever this one played before.
  gMatch = MatchAtStart();
  SpellsReset();
  BoardPlayer(0).spellCursor = BoardPlayer(1).spellCursor = 1;
  BattleSetNoHealthLoss(false);
  if (gOnline.seat == 1)
    LogPrint("[online] joined player 1 at %s: input delay %u frames\n", gOnline.peerName,
            (unsigned)delay);
  OnlineSay("Playing online with player %d: presses count %u frames after they are made.",
            PeerPlayer(), (unsigned)delay);
}

void OnlineTakePresses(const WireMessage& m) {
  Lockstep& l = gOnline.lockstep;
  uint32_t before = l.received;
  if (const char* why = LockstepReceive(l, m)) {
    OnlineRefuse(why);
    return;
  }
  if (l.received > before) l.earliness += kEarlinessWeight * ((float)(l.received - l.next) - l.earliness);
}

void OnlineTakeHash(const WireMessage& m) {
  if (const char* why = LockstepPeerHash(gOnline.lockstep, m.frame, m.value)) {
    OnlineRefuse(why);
    return;
  }
  if (uint32_t bad = LockstepMismatch(gOnline.lockstep)) OnlineDesync(bad, true);
}

void OnlineSendPresses() {
  WireMessage m;
  LockstepOutgoing(gOnline.lockstep, gOnline.away, &m);
  OnlineSend(m, false);
}

void OnlineFinishClosing() {
  OnlineClosing& c = gOnline.closing;
  if (!c.on) return;
  c.on = false;
  OnlineOver(c.line, 0);
  ScreenHandOver(c.then);
}

const char* OnlineMatchLine() { return gOnline.matchLine; }

bool OnlinePressPending(int player) {
  if (gOnline.phase != ONLINE_Playing || player != gOnline.seat) return false;
  const Lockstep& l = gOnline.lockstep;
  uint32_t last = l.next ? LockstepPresses(l, l.seat, l.next - 1) : 0;
  for (uint32_t f = l.next; f < l.sampled; ++f) {
    uint32_t p = LockstepPresses(l, l.seat, f);
    if (p & ~last) return true;
    last = p;
  }
  return (gOnline.held & ~last) != 0;
}
