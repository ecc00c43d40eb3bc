// online_session.h - the online game's own state, shared by its files: the connection and its
// phase (online.cpp), the frames and their checks (online_frames.cpp), the lines on screen and
// the figures (online_lines.cpp). Nothing outside game/online includes it.
#pragma once
#include <cstdint>
#include <string>

#include "keinput.h"
#include "online/online.h"
#include "online/online_lockstep.h"

struct Font;
struct NetHost;

const int kOnlinePings = 12;          // round trips measured before the game begins
const double kOnlineSilence = 10.0;   // seconds without a packet: the connection is lost
const double kOnlineSlowLine = 0.5;   // seconds waiting for the other machine: a line says so
const double kOnlineJoinLimit = 4.0;  // seconds for a host to answer a join
const int kOnlineDumps = 8;           // written states kept for a desync report

struct OnlineStateDump {
  uint32_t frame = 0;
  std::string text;
};

struct OnlineFigures {
  double since = 0;            // real time the play began
  uint64_t frames = 0;         // frames played
  uint64_t onTime = 0;         // of them, played in the first frame that wanted them
  uint64_t waits = 0;          // frames drawn while waiting for the other machine
  double stallStart = 0;       // real time the current wait began (0: none)
  double longestStall = 0;     // seconds
  double workSeconds = 0;      // the network layer's own work, waits excluded
  double roundTripMs = 0;      // as measured before the game began
};

// An end both machines reach on one frame: this one waits (briefly) for the other to reach it
// too, so that both read why, then goes on to `then`.
struct OnlineClosing {
  bool on = false;
  double deadline = 0;
  int32_t then = 0;  // a GameStateId
  char line[160] = "";
};

struct OnlineSession {
  OnlineConfig config;
  OnlinePhase phase = ONLINE_Off;
  int seat = 0;  // 0 the host (player 1), 1 the joiner (player 2)
  NetHost* net = nullptr;
  bool hasPeer = false;
  uint32_t peer = 0;
  char peerName[64] = "";  // "address:port", for the players' lines
  uint16_t port = 0;
  double joinDeadline = 0;
  double lastHeard = 0, lastSent = 0;
  // Meeting: the host's round trips, the joiner's readiness.
  double pingSentAt[kOnlinePings] = {};
  double roundTrips[kOnlinePings] = {};
  int pingsSent = 0, pongs = 0;
  double nextPing = 0;
  bool peerReady = false, readySent = false;
  // Playing.
  Lockstep lockstep;
  InputFrame frame = {};
  bool playingFrame = false;  // the gate let a shared frame through
  bool away = false;          // this machine shows a screen of its own over the paused battle
  bool quitting = false;      // this machine's player quit (Alt+F4, the window closed)
  uint32_t held = 0;          // presses since the last sample
  uint32_t ignored = 0;       // keys held over from a screen of this machine's own, until let go
  double syncWaitUntilFrame = 0;  // no second catching-up wait before this frame
  uint32_t packetsThisSecond = 0, framesThisSecond = 0, framesLastSecond = 0;
  double secondStart = 0;
  // The match.
  int matchesDone = 0;
  uint32_t matchStart = 0;
  int rounds = 0;
  int winner = -1;
  uint32_t lastHash = 0;
  char matchLine[160] = "";
  OnlineStateDump dumps[kOnlineDumps];
  OnlineClosing closing;
  // What the players read.
  Font* font = nullptr;
  char message[200] = "";
  double messageUntil = 0;
  double waitingSince = 0;
  int exitStatus = 0;
  OnlineFigures figures;
};

extern OnlineSession gOnline;

// Real time in seconds (the game's own clock may be virtual).
double OnlineNow();
// Ends the online game: the line for the players (and standard error), the other machine told
// `bye` (0: nothing), and the game back on the main menu unless it is quitting.
void OnlineOver(const char* line, uint8_t bye);
// The other machine sent something that cannot be: it is cut off and the game ends.
void OnlineRefuse(const char* why);
bool OnlineSend(const WireMessage& m, bool reliable);
// Reads what arrived: at most a frame's share of events, waiting up to waitMs for the first.
void OnlineService(uint32_t waitMs);
// Frames (online_frames.cpp): the play begins, and the steps around every played frame.
void OnlineBeginPlay(uint32_t delay);
void OnlineTakePresses(const WireMessage& m);
void OnlineTakeHash(const WireMessage& m);
void OnlineSendPresses();
// The states differed at `frame`: this machine's is written to a report, the game ends (and the
// other machine is told, unless it told us).
void OnlineDesync(uint32_t frame, bool tell);
// The other machine left while this one was closing: the closing ends now.
void OnlineFinishClosing();
// Lines (online_lines.cpp).
void OnlineSay(const char* format, ...) __attribute__((format(printf, 1, 2)));
void OnlinePrintFigures();
