// online.cpp - the connection of an online game: hosting and joining, the version check, the
// meeting that measures the round trip and fixes the input delay, every event from the network
// checked and answered, silence and refusals, and the end of the game on both machines.
#include "online/online.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "computer/computer.h"
#include "framework/audio.h"
#include "kegraphics.h"
#include "kegsm.h"
#include "kelog.h"
#include "kenet.h"
#include "kesystem.h"
#include "online/online_session.h"
#include "screens/heroselect.h"
#include "screens/screen.h"
#include "states.h"

OnlineSession gOnline;

namespace {

const int kEventsPerFrame = 64;  // the most network events one frame takes in
const double kPingGap = 0.03;    // seconds between two pings of the meeting
const int kPingLimit = 60;       // pings sent before the meeting gives up on more answers
const int kFewestPongs = 4;
const double kAliveGap = 0.25;            // seconds without sending before a sign of life
const uint32_t kAlivePing = 0xFFFFFFFFu;  // a ping's id that measures nothing
const double kFrameMs = 1000.0 / 60.0;
// Fast play assumes a frame of a millisecond when choosing the delay, and keeps it modest: the
// computer presses again only once its last press has been played. Its round trip is the
// quickest answer: its frames come at no steady pace to judge jitter by.
const double kFastFrameMs = 1.0;
const uint32_t kFastDelayLimit = 40;
const uint32_t kDelayLimit = 30;  // half a second

// The reason a connection is closed with: a WireBye, or a refusal at connect (the host's
// version in the bits above).
enum : uint32_t { REFUSE_Version = 16, REFUSE_Busy = 17 };

int PeerPlayer() { return gOnline.seat == 0 ? 2 : 1; }

void OnlineRestoreLocalPlay() {
  InputUseFrame(nullptr);
  ScreenSetKeepRunning(false);
  SysSetFrameTimeFixed(false);
  ComputerSetOnline(false, nullptr);
  HeroSelectSetDrawExtra(ComputerPrintSeatLabels);
}

// "ADDRESS[:PORT]"; false (with a line) for a port that is no number from 1 to 65535.
bool OnlineSplitAddress(const char* text, char* host, size_t size, uint16_t* port) {
  snprintf(host, size, "%s", text);
  *port = kOnlineDefaultPort;
  char* colon = strrchr(host, ':');
  if (!colon) return true;
  *colon = '\0';
  char* end = nullptr;
  long p = strtol(colon + 1, &end, 10);
  if (colon[1] < '0' || colon[1] > '9' || *end || p < 1 || p > 65535) return false;
  *port = (uint16_t)p;
  return true;
}

void OnlineStartHost() {
  gOnline.seat = 0;
  gOnline.net = NetHostCreate(gOnline.config.port, 4);
  if (!gOnline.net) {
    OnlineOver("Cannot host: the port is in use or cannot be opened.", 0);
    return;
  }
  gOnline.port = NetHostPort(gOnline.net);
  gOnline.phase = ONLINE_Hosting;
  LogPrint("[online] hosting on UDP port %u\n", (unsigned)gOnline.port);
}

void OnlineStartJoin() {
  gOnline.seat = 1;
  char host[256];
  uint16_t port = 0;
  if (!OnlineSplitAddress(gOnline.config.address, host, sizeof host, &port)) {
    OnlineOver("Cannot join: the port after the colon is no number from 1 to 65535.", 0);
    return;
  }
  snprintf(gOnline.peerName, sizeof gOnline.peerName, "%.48s:%u", host, (unsigned)port);
  gOnline.net = NetClientCreate();
  if (!gOnline.net || !NetConnect(gOnline.net, host, port, gOnline.config.version, &gOnline.peer)) {
    OnlineOver("Cannot join: that address cannot be reached.", 0);
    return;
  }
  gOnline.hasPeer = true;
  gOnline.phase = ONLINE_Joining;
  gOnline.joinDeadline = OnlineNow() + kOnlineJoinLimit;
}

// The delay from the round trip: a press reaches the other machine within half the round trip,
// so it is played that many frames later, plus one. Jitter widens it: the spread is judged from
// the median, so that one answer held up by a busy frame does not count as jitter.
uint32_t OnlineDelayFor(const double* trips, int n, double* lowMs, double* highMs) {
  double sorted[kOnlinePings];
  n = n < 1 ? 1 : (n > kOnlinePings ? kOnlinePings : n);
  for (int i = 0; i < n; ++i) sorted[i] = trips[i];
  std::sort(sorted, sorted + n);
  double lo = sorted[0], median = sorted[n / 2];
  *lowMs = lo;
  *highMs = sorted[n - 1];
  uint32_t d, limit;
  if (gOnline.config.fast) {
    d = (uint32_t)(lo / (2 * kFastFrameMs)) + 2;
    limit = kFastDelayLimit;
  } else {
    double spread = 2 * (median - lo);
    d = (uint32_t)((lo + 2 * spread) / (2 * kFrameMs)) + 1;
    limit = kDelayLimit;
  }
  return d > limit ? limit : d;
}

void OnlineFinishMeeting() {
  double lo = 0, hi = 0;
  uint32_t delay = OnlineDelayFor(gOnline.roundTrips, gOnline.pongs, &lo, &hi);
  gOnline.figures.roundTripMs = lo;
  WireMessage setup = {};
  setup.type = WIRE_Setup;
  setup.value = delay;
  OnlineSend(setup, true);
  LogPrint("[online] player 2 joined from %s: round trip %.1f to %.1f ms, input delay %u frames\n",
          gOnline.peerName, lo, hi, (unsigned)delay);
  OnlineBeginPlay(delay);
}

// The host pings until it has its answers and the joiner is on the book.
void OnlineMeetingStep() {
  if (gOnline.phase != ONLINE_Meeting || gOnline.seat != 0) return;
  double now = OnlineNow();
  bool enough = gOnline.pongs == kOnlinePings ||
                (gOnline.pingsSent >= kPingLimit && gOnline.pongs >= kFewestPongs);
  if (enough && gOnline.peerReady) {
    OnlineFinishMeeting();
    return;
  }
  if (enough || now < gOnline.nextPing || gOnline.pingsSent >= kPingLimit) return;
  WireMessage ping = {};
  ping.type = WIRE_Ping;
  ping.frame = (uint32_t)gOnline.pingsSent;
  gOnline.pingSentAt[gOnline.pingsSent % kOnlinePings] = now;
  gOnline.pingsSent += 1;
  gOnline.nextPing = now + kPingGap;
  OnlineSend(ping, false);
}

void OnlineTakePong(const WireMessage& m) {
  // Only an answer to one of the last pings counts, and only once.
  if (m.frame >= (uint32_t)gOnline.pingsSent || m.frame + kOnlinePings < (uint32_t)gOnline.pingsSent ||
      gOnline.pongs == kOnlinePings)
    return;
  double& sentAt = gOnline.pingSentAt[m.frame % kOnlinePings];
  if (sentAt == 0) return;
  gOnline.roundTrips[gOnline.pongs++] = (OnlineNow() - sentAt) * 1000.0;
  sentAt = 0;
}

// Why the other machine ended the game, from its goodbye or the reason it closed with.
const char* OnlineByeLine(uint32_t bye) {
  static char line[160];
  const char* why = bye == BYE_Desync ? "found the states out of step"
                    : bye == BYE_Done ? "has played the matches it was asked to"
                    : bye == BYE_Broken ? "refused a packet from this machine"
                    : bye == BYE_Stopped ? "stopped hosting"
                                         : "left the game";
  snprintf(line, sizeof line, "Player %d %s: the online game is over.", PeerPlayer(), why);
  return line;
}

// A packet from the other machine, checked against what it may send at this point.
void OnlineTakePacket(const NetEvent& e) {
  WireMessage m;
  if (!WireDecode(e.bytes, e.size, &m)) {
    OnlineRefuse("sent a broken packet");
    return;
  }
  bool host = gOnline.seat == 0, playing = gOnline.phase == ONLINE_Playing;
  switch (m.type) {
    case WIRE_Input:
      if (playing) OnlineTakePresses(m);
      return;  // presses that overtook the setup are sent again
    case WIRE_Hash:
      if (playing) OnlineTakeHash(m);
      return;
    case WIRE_Bye:
      if (gOnline.closing.on) {
        OnlineFinishClosing();
      } else if (m.value == BYE_Desync && playing) {
        OnlineDesync(m.frame, false);
      } else {
        OnlineOver(OnlineByeLine(m.value), 0);
      }
      return;
    case WIRE_Ping:  // the host's measurements, and either side's sign of life
      m.type = WIRE_Pong;
      OnlineSend(m, false);
      return;
    case WIRE_Pong:
      if (host) OnlineTakePong(m);
      return;
    case WIRE_Ready:
      if (!host) break;
      gOnline.peerReady = true;
      return;
    case WIRE_Setup:
      if (host) break;
      if (gOnline.phase == ONLINE_Meeting) OnlineBeginPlay(m.value);
      return;
  }
  OnlineRefuse("sent a packet out of turn");
}

void OnlineTakeConnect(const NetEvent& e) {
  if (gOnline.seat == 1) {
    if (e.peer != gOnline.peer) return;
    gOnline.phase = ONLINE_Meeting;
    gOnline.lastHeard = OnlineNow();
    OnlineSay("Joined player 1 at %s.", gOnline.peerName);
    return;
  }
  char name[64];
  NetPeerName(gOnline.net, e.peer, name, sizeof name);
  if (e.data != gOnline.config.version) {
    LogPrint("[online] refused %s: it runs network version %u, this game %u\n", name,
            (unsigned)e.data, (unsigned)gOnline.config.version);
    OnlineSay("A player with another version of Hollow Pikes was refused.");
    NetDisconnect(gOnline.net, e.peer, REFUSE_Version | gOnline.config.version << 8, false);
    return;
  }
  if (gOnline.hasPeer) {
    NetDisconnect(gOnline.net, e.peer, REFUSE_Busy, false);
    return;
  }
  gOnline.hasPeer = true;
  gOnline.peer = e.peer;
  snprintf(gOnline.peerName, sizeof gOnline.peerName, "%.63s", name);
  gOnline.phase = ONLINE_Meeting;
  gOnline.lastHeard = OnlineNow();
  gOnline.pingsSent = gOnline.pongs = 0;
  gOnline.peerReady = false;
  OnlineSay("Player 2 is joining from %s.", name);
}

// The joiner learns at connect why a host would not play: it may connect first and be refused
// right after.
void OnlineTakeDisconnect(const NetEvent& e) {
  if (!gOnline.hasPeer || e.peer != gOnline.peer) return;
  uint32_t reason = e.data & 0xFF;
  char line[200];
  if (gOnline.seat == 1 && reason == REFUSE_Version) {
    snprintf(line, sizeof line, "Player 1 runs another version of Hollow Pikes (network version %u, "
             "this game %u).", (unsigned)(e.data >> 8), (unsigned)gOnline.config.version);
    OnlineOver(line, 0);
  } else if (gOnline.seat == 1 && reason == REFUSE_Busy) {
    snprintf(line, sizeof line, "Player 1 at %s is already playing.", gOnline.peerName);
    OnlineOver(line, 0);
  } else if (gOnline.phase == ONLINE_Joining) {
    snprintf(line, sizeof line, "Nobody answered at %s: is the other player hosting?",
             gOnline.peerName);
    OnlineOver(line, 0);
  } else if (gOnline.phase == ONLINE_Meeting && gOnline.seat == 0) {
    // The host goes on waiting for a player.
    gOnline.hasPeer = false;
    gOnline.phase = ONLINE_Hosting;
    OnlineSay("Player 2 left before the game began.");
  } else if (gOnline.closing.on) {
    OnlineFinishClosing();
  } else {
    OnlineOver(OnlineByeLine(reason), 0);
  }
}

void OnlineTakeEvent(const NetEvent& e) {
  switch (e.kind) {
    case NET_Connected: OnlineTakeConnect(e); break;
    case NET_Disconnected: OnlineTakeDisconnect(e); break;
    case NET_Received:
      if (!gOnline.hasPeer || e.peer != gOnline.peer || gOnline.phase == ONLINE_Joining) return;
      gOnline.lastHeard = OnlineNow();
      gOnline.packetsThisSecond += 1;
      OnlineTakePacket(e);
      break;
    case NET_None: break;
  }
}

// A peer may send a packet or two a frame, never a flood: beyond that it is cut off.
void OnlineCountSecond() {
  double now = OnlineNow();
  if (now - gOnline.secondStart < 1.0) return;
  uint32_t frames = gOnline.framesThisSecond > gOnline.framesLastSecond ? gOnline.framesThisSecond
                                                                         : gOnline.framesLastSecond;
  bool flood = gOnline.packetsThisSecond > 300 + 4 * frames;
  gOnline.framesLastSecond = gOnline.framesThisSecond;
  gOnline.framesThisSecond = gOnline.packetsThisSecond = 0;
  gOnline.secondStart = now;
  if (flood) OnlineRefuse("sent too many packets");
}

// Before the play begins the joiner may still watch its logos: both sides say now and then that
// they are there, so that neither takes the quiet for a lost connection.
void OnlineKeepAlive() {
  if (gOnline.phase != ONLINE_Meeting || OnlineNow() - gOnline.lastSent < kAliveGap) return;
  WireMessage ping = {};
  ping.type = WIRE_Ping;
  ping.frame = kAlivePing;
  OnlineSend(ping, false);
}

void OnlineCheckSilence() {
  double now = OnlineNow();
  if (gOnline.phase == ONLINE_Joining && now > gOnline.joinDeadline) {
    char line[160];
    snprintf(line, sizeof line, "Nobody answered at %s: is the other player hosting?",
             gOnline.peerName);
    OnlineOver(line, 0);
    return;
  }
  bool connected = gOnline.phase == ONLINE_Meeting || gOnline.phase == ONLINE_Playing;
  if (!connected || now - gOnline.lastHeard <= kOnlineSilence) return;
  char line[80];
  snprintf(line, sizeof line, "the connection to player %d was lost", PeerPlayer());
  OnlineOver(line, 0);
}

}  // namespace

double OnlineNow() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void OnlineConfigure(const OnlineConfig& config) { gOnline.config = config; }
bool OnlineRequested() { return gOnline.config.host || gOnline.config.join; }
const OnlineConfig& OnlineConfigured() { return gOnline.config; }

void OnlineStart() {
  if (!OnlineRequested() || gOnline.phase != ONLINE_Off) return;
  if (gOnline.config.version == 0) gOnline.config.version = kOnlineVersion;
  ScreenSetKeepRunning(true);
  ComputerSetOnline(true, OnlinePressPending);
  HeroSelectSetDrawExtra(nullptr);
  gOnline.font = GfxFontCreate(1.0f);
  GsmSetUpdateGate(OnlineGate);
  GsmSetDrawHook(OnlineDraw);
  SysSetFrameWaitHook(OnlineWait);
  gOnline.secondStart = OnlineNow();
  if (gOnline.config.host) OnlineStartHost();
  else OnlineStartJoin();
}

void OnlineEnd() {
  if (gOnline.phase == ONLINE_Playing || gOnline.phase == ONLINE_Meeting) {
    // The game is quitting: the other machine hears it now rather than after ten silent seconds.
    OnlineOver(nullptr, BYE_Quit);
  }
  if (gOnline.net) {
    NetFlush(gOnline.net);
    NetHostFree(gOnline.net);
  }
  gOnline.net = nullptr;
  GfxFontFree(gOnline.font);
  gOnline.font = nullptr;
  GsmSetUpdateGate(nullptr);
  GsmSetDrawHook(nullptr);
  SysSetFrameWaitHook(nullptr);
  OnlineRestoreLocalPlay();
  OnlineConfig config = gOnline.config;
  int status = gOnline.exitStatus;
  gOnline = OnlineSession();
  gOnline.config = config;
  gOnline.exitStatus = status;
}

void OnlineOver(const char* line, uint8_t bye) {
  if (gOnline.phase == ONLINE_Over || gOnline.phase == ONLINE_Off) return;
  bool connected = gOnline.hasPeer && gOnline.phase != ONLINE_Joining;
  if (connected && bye) {
    WireMessage m = {};
    m.type = WIRE_Bye;
    m.value = bye;
    m.frame = gOnline.lockstep.next;
    OnlineSend(m, true);
  }
  if (gOnline.hasPeer && gOnline.net) NetDisconnect(gOnline.net, gOnline.peer, bye, false);
  if (gOnline.net) NetFlush(gOnline.net);
  gOnline.phase = ONLINE_Over;
  OnlineRestoreLocalPlay();
  if (line && *line) {
    LogPrint("[online] %s\n", line);
    OnlineSay("%s", line);
  }
  bool early = gOnline.config.matches > 0 && gOnline.matchesDone < gOnline.config.matches;
  if (early) gOnline.exitStatus = 1;
  if (GsmGetNextState() != GS_Quit) ScreenHandOver(GS_MainMenu);
}

void OnlineRefuse(const char* why) {
  char line[160];
  snprintf(line, sizeof line, "Player %d's machine %s and was cut off.", PeerPlayer(), why);
  if (gOnline.seat == 0 && gOnline.phase == ONLINE_Meeting) {
    // Before the game began the host stays open for another player.
    LogPrint("[online] %s\n", line);
    NetDisconnect(gOnline.net, gOnline.peer, BYE_Broken, true);
    gOnline.hasPeer = false;
    gOnline.phase = ONLINE_Hosting;
    OnlineSay("%s", line);
    return;
  }
  OnlineOver(line, BYE_Broken);
}

bool OnlineSend(const WireMessage& m, bool reliable) {
  uint8_t bytes[kWireMaxSize];
  size_t size = WireEncode(m, bytes, sizeof bytes);
  if (!size || !gOnline.net || !gOnline.hasPeer) return false;
  gOnline.lastSent = OnlineNow();
  bool sent = NetSend(gOnline.net, gOnline.peer, bytes, size, reliable);
  NetFlush(gOnline.net);  // now, not at the next frame's poll
  return sent;
}

void OnlineService(uint32_t waitMs) {
  if (!gOnline.net) return;
  for (int i = 0; i < kEventsPerFrame; ++i) {
    NetEvent e;
    if (!NetPoll(gOnline.net, &e, i == 0 ? waitMs : 0)) break;
    OnlineTakeEvent(e);
    if (!gOnline.net) break;
  }
  OnlineCountSecond();
  OnlineCheckSilence();
  OnlineMeetingStep();
  OnlineKeepAlive();
}

// Sleeping in the network's poll costs no processor time: all of it counts as its work. While
// a game is played the next frame's gate reads whatever came meanwhile, so the wait only
// sleeps: waking for every packet cost more than the rest of the network's work together.
void OnlineWait(double seconds) {
  using namespace std::chrono;
  double end = OnlineNow() + seconds, work = SysThreadSeconds();
  bool listen = gOnline.phase != ONLINE_Playing;
  int events = 0;
  for (;;) {
    double left = end - OnlineNow();
    if (left <= 0) break;
    if (!listen || !gOnline.net || left < 0.001 || events >= kEventsPerFrame) {
      std::this_thread::sleep_for(duration<double>(left));
      break;
    }
    NetEvent e;
    if (NetPoll(gOnline.net, &e, (uint32_t)(left * 1000))) {
      events += 1;
      OnlineTakeEvent(e);
    }
  }
  gOnline.figures.workSeconds += SysThreadSeconds() - work;
}

int OnlineExitStatus() { return gOnline.exitStatus; }
OnlinePhase OnlinePhaseNow() { return gOnline.phase; }
uint32_t OnlineFrame() { return gOnline.lockstep.next; }
uint32_t OnlineDelay() { return gOnline.lockstep.delay; }
uint16_t OnlinePort() { return gOnline.port; }
double OnlineSilentSeconds() { return gOnline.lastHeard ? OnlineNow() - gOnline.lastHeard : 0; }
