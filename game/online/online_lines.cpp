// online_lines.cpp - what the players read about the online game, over whatever screen is shown
// (waiting, who paused, why it ended), and the network's figures after a match.
#include <cstdarg>
#include <cstdio>

#include "battle/pause.h"
#include "kegraphics.h"
#include "kegsm.h"
#include "kelog.h"
#include "kenet.h"
#include "online/online_session.h"
#include "screens/screen.h"
#include "states.h"

namespace {

const double kMessageSeconds = 8.0;
const float kLineScale = 0.55f;
const uint32_t kLineColor = 0xFFFFFFFF;
const float kBattleLineY = 160;  // just over the pause panel, under player 1's row of spells
const float kBookLineY = -288;   // along the foot of the book
const float kMenuLineY = 272;    // over the menu's logo, clear of the logos' skip hint

int PeerPlayer() { return gOnline.seat == 0 ? 2 : 1; }

// The line the players need most now: before the play the latest news, then where the
// connection stands; in play a wait for the other machine, the news, who paused.
const char* CurrentLine(char* text, size_t size) {
  double now = OnlineNow();
  bool news = now < gOnline.messageUntil;
  bool before = gOnline.phase == ONLINE_Hosting || gOnline.phase == ONLINE_Joining ||
                gOnline.phase == ONLINE_Meeting;
  if (before && news) return gOnline.message;
  switch (gOnline.phase) {
    case ONLINE_Hosting:
      snprintf(text, size, "Waiting for player 2: hosting on UDP port %u. Esc stops hosting.",
               (unsigned)gOnline.port);
      return text;
    case ONLINE_Joining:
      snprintf(text, size, "Joining %s... Esc stops.", gOnline.peerName);
      return text;
    case ONLINE_Meeting:
      if (gOnline.seat == 0) snprintf(text, size, "Player 2 is joining from %s...", gOnline.peerName);
      else snprintf(text, size, "Joined player 1 at %s: the game begins in a moment.", gOnline.peerName);
      return text;
    default:
      break;
  }
  bool playing = gOnline.phase == ONLINE_Playing;
  if (playing && gOnline.lockstep.peerAway) {
    snprintf(text, size, "Player %d paused the game and is on another screen.", PeerPlayer());
    return text;
  }
  if (playing && gOnline.waitingSince && now - gOnline.waitingSince >= kOnlineSlowLine) {
    snprintf(text, size, "Waiting for player %d's machine: nothing heard for %.1f s.", PeerPlayer(),
             OnlineSilentSeconds());
    return text;
  }
  if (news) return gOnline.message;
  if (playing && GsmGetCurrentState() == GS_Battle && PauseIsOpen() &&
      PauseOpener() != gOnline.seat) {
    snprintf(text, size, "Player %d paused the game.", PeerPlayer());
    return text;
  }
  return "";
}

}  // namespace

void OnlineSay(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(gOnline.message, sizeof gOnline.message, format, args);
  va_end(args);
  gOnline.messageUntil = OnlineNow() + kMessageSeconds;
}

const char* OnlineMessage() {
  static char text[200];
  return CurrentLine(text, sizeof text);
}

void OnlineDraw() {
  const char* line = OnlineMessage();
  if (!*line || !gOnline.font) return;
  GameStateId screen = GsmGetCurrentState();
  float y = screen == GS_Battle ? kBattleLineY : screen == GS_MainMenu ? kMenuLineY : kBookLineY;
  float width = GfxTextWidth(gOnline.font, line) * kLineScale;
  ScreenPrintOutlined(gOnline.font, line, -width / 2, y, kLineScale, kLineColor);
}

void OnlinePrintFigures() {
  const OnlineFigures& f = gOnline.figures;
  double seconds = OnlineNow() - f.since;
  if (!gOnline.net || seconds <= 0 || f.frames == 0) return;
  NetFigures n = NetHostFigures(gOnline.net);
  // Each datagram also carries 28 bytes of IP and UDP headers.
  double sent = n.bytesSent / seconds, received = n.bytesReceived / seconds;
  double sentWire = (n.bytesSent + 28.0 * n.datagramsSent) / seconds;
  double receivedWire = (n.bytesReceived + 28.0 * n.datagramsReceived) / seconds;
  LogPrint(
          "[online] figures: %.0f B/s sent, %.0f B/s received (%.0f and %.0f with IP and UDP "
          "headers); round trip %.1f ms, input delay %u frames; %llu frames, %.2f %% on time, "
          "longest stall %.0f ms; network work %.1f us a frame\n",
          sent, received, sentWire, receivedWire, f.roundTripMs, (unsigned)gOnline.lockstep.delay,
          (unsigned long long)f.frames, 100.0 * (double)f.onTime / (double)f.frames,
          f.longestStall * 1000.0, 1e6 * f.workSeconds / (double)(f.frames + f.waits));
}
