// online.h - one game on two machines: the host (player 1) waits for a player and the joiner
// (player 2) joins; both play the same frames of the hero and spell selection, the battle and
// the results from the two players' presses alone, and compare their states as they go.
#pragma once
#include <cstdint>

struct OnlineConfig {
  bool host = false, join = false;
  uint16_t port = 0;        // hosting: 0 lets the system pick a free one
  char address[256] = "";   // joining
  bool fast = false;        // unseen, on the game's own clock, each frame as soon as it can be
  int matches = 0;          // leave the game after this many matches (0: never)
  uint32_t version = 0;     // the version told at connect (0: this game's own)
  bool figures = false;     // the network's figures on standard error after each match
};

// What the command line asked for; OnlineStart acts on it.
void OnlineConfigure(const OnlineConfig& config);
bool OnlineRequested();
const OnlineConfig& OnlineConfigured();
// After the screens are registered and the state manager is set on the main menu: opens the
// network and takes the frame gate, update hook and draw hook. Nothing when not requested.
void OnlineStart();
// At shut-down, before the engine stops: tells the other machine, closes the network.
void OnlineEnd();

// The state manager's hooks (installed by OnlineStart).
bool OnlineGate();          // before each Update: false while the next frame cannot be played
void OnlineAfterUpdate();   // after each Update, before the computer looks at the screen
void OnlineDraw();          // after each Draw: the lines about the other machine
void OnlineWait(double seconds);  // the frame's wait: listening to the network meanwhile

// The exit status the game should leave with: 0, or 1 after an online game that ended before the
// matches asked for were played.
int OnlineExitStatus();

// For tests and for the computer player.
enum OnlinePhase { ONLINE_Off, ONLINE_Hosting, ONLINE_Joining, ONLINE_Meeting, ONLINE_Playing,
                   ONLINE_Over };
OnlinePhase OnlinePhaseNow();
const char* OnlineMessage();          // the line shown about the online game now, or ""
uint32_t OnlineFrame();               // the next frame to play
uint32_t OnlineDelay();               // the input delay in frames
uint16_t OnlinePort();                // the port hosted on
double OnlineSilentSeconds();         // since the last packet from the other machine
bool OnlinePressPending(int player);  // a press of this seat is on its way to the game
const char* OnlineMatchLine();        // the last "online: match" line printed, or ""
