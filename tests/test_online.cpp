// test_online.cpp - online play between the game in this test (unseen and fast) and the game as a
// program of its own on 127.0.0.1: keys against the computer for a whole match, the pause menu's
// screens and its way back to the menu, a killed peer, a peer sending garbage, another version,
// a desync, and a join where nobody hosts.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

#include "battle/pause.h"
#include "computer/computer.h"
#include "hp.h"
#include "kenet.h"
#include "kesystem.h"
#include "online/online.h"
#include "online/online_wire.h"
#include "screens/heroselect.h"
#include "screens/spellselect.h"

namespace {

const int kMatchFrames = 200000;  // far more than a match takes: a hang shows as a failure

class Online : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/hp-online-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    folder = pattern;
    setenv("XDG_DATA_HOME", folder.c_str(), 1);  // where this side's desync report goes
  }
  void TearDown() override {
    if (peer.pid > 0) {
      kill(peer.pid, SIGKILL);
      HpGameWait(peer);
    }
    OnlineEnd();
    ComputerSetSeat(0, false);
    ComputerSetSeat(1, false);
    HpStop();
    SysSetHeadless(false);
    OnlineConfigure(OnlineConfig());
    std::error_code err;
    std::filesystem::remove_all(folder, err);
  }

  // This test's game on the main menu, unseen and fast, hosting or joining.
  void StartHere(OnlineConfig c, bool computer) {
    SysSetHeadless(true);
    ASSERT_TRUE(HpStart(GS_MainMenu));
    ComputerSetSeed(5);
    ComputerSetSeat(c.host ? 0 : 1, computer);
    c.fast = true;
    OnlineConfigure(c);
    OnlineStart();
  }
  void HostHere(bool computer, int matches = 1) {
    OnlineConfig c;
    c.host = true;
    c.matches = matches;
    StartHere(c, computer);
  }
  // The other machine: the computer as player 2, one match.
  void JoinThere(std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--join", "127.0.0.1:" + std::to_string(OnlinePort()),
                                      "--computer=2", "--fast", "--matches", "1", "--seed", "6"};
    args.insert(args.end(), more.begin(), more.end());
    peer = HpGameStart(args);
    ASSERT_GT(peer.pid, 0);
  }
  template <class Pred>
  bool StepUntil(Pred pred, int frames = kMatchFrames) {
    return HpStepsUntil(pred, frames) > 0;
  }
  // A key of this machine's player, and the frames until the game shows that it took it.
  template <class Pred>
  bool Press(int key, Pred seen) {
    HpPress(key);
    return seen() || StepUntil(seen, 2000);
  }
  // Player 1 takes the Knight, Wind and Stun.
  void ChooseOnTheBooks() {
    ASSERT_TRUE(StepUntil([&] { return Playing(GS_HeroSelect); }));
    ASSERT_TRUE(Press(VK_SPACE, [] { return HeroSelectChooser() == 1; }));
    ASSERT_TRUE(StepUntil([] { return GsmGetCurrentState() == GS_SpellSelect; }));
    ASSERT_TRUE(Press(VK_SPACE, [] { return SpellSelectSlot() == 1; }));
    ASSERT_TRUE(Press('D', [] { return gMatch.spells[0][1] == Spell_Stun; }));
    ASSERT_TRUE(Press(VK_SPACE, [] { return SpellSelectChooser() != 0; }));
    ASSERT_TRUE(StepUntil([] { return GsmGetCurrentState() == GS_Battle; }));
  }
  bool Playing(GameStateId screen) {
    return OnlinePhaseNow() == ONLINE_Playing && GsmGetCurrentState() == screen;
  }
  // Both ends' lines of the match this game played last; the other's once it has left.
  void ExpectSameMatch() {
    int status = HpGameWait(peer);
    EXPECT_EQ(status, 0) << HpFileText(peer.err);
    std::string line = std::string(OnlineMatchLine()) + "\n";
    EXPECT_EQ(line.rfind("online: match 1: ", 0), 0u) << line;
    EXPECT_EQ(HpFileText(peer.out), line);
  }

  std::string folder;
  HpProgram peer;
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Keys pressed on this machine steer player 1 and nothing else, player 2's laptop keys too: the
// selections go in the game's order, a summon shows on this board at once and the other machine's summons arrive, the pause
// menu's Settings open here alone and the match carries on, both machines end it alike.
TEST_F(Online, KeysOnTheHostAgainstTheComputerOnTheJoiner) {
  HostHere(false);
  JoinThere();
  ChooseOnTheBooks();
  EXPECT_EQ(gMatch.hero[0], Hero_Knight);
  EXPECT_EQ(gMatch.spells[0][0], Spell_Wind);

  int before = HpTroopCount(false);
  HpPress('7');  // player 2's laptop key for slot A, on this machine player 1's
  int frames = HpStepsUntil([&] { return HpTroopCount(false) > before; }, 200);
  EXPECT_GT(frames, 0) << "player 1's summon never came";
  EXPECT_TRUE(StepUntil([] { return HpTroopCount(true) > 0; }, 20000)) << "no summon of player 2";

  // Settings from the pause menu open here only; the other machine waits meanwhile.
  ASSERT_TRUE(Press('O', [] { return PauseIsOpen(); }));
  ASSERT_TRUE(Press('S', [] { return PauseCursor(0) == -2; }));
  ASSERT_TRUE(Press(VK_SPACE, [] { return GsmGetCurrentState() == GS_Settings; }));
  uint32_t frame = OnlineFrame();
  HpStep(30);
  EXPECT_LE(OnlineFrame(), frame + OnlineDelay()) << "the frames went on without this machine";
  ASSERT_TRUE(Press(VK_ESCAPE, [] { return GsmGetCurrentState() == GS_Battle; }));
  EXPECT_TRUE(PauseIsOpen());
  for (int item = -1; item <= 1; ++item)
    ASSERT_TRUE(Press('W', [item] { return PauseCursor(0) == item; }));
  ASSERT_TRUE(Press(VK_SPACE, [] { return !PauseIsOpen(); }));

  for (int n = 0; n < kMatchFrames && HpStep(1); ++n)
    if (n % 4 == 0) HpPress("1234Z"[n / 4 % 5]);
  EXPECT_EQ(OnlinePhaseNow(), ONLINE_Over);
  ExpectSameMatch();
}

// "Go back to menu" from the pause menu ends the online game on both machines with the reason.
TEST_F(Online, BackToTheMenuEndsItForBoth) {
  HostHere(false, 0);
  JoinThere();
  ChooseOnTheBooks();
  ASSERT_TRUE(Press('O', [] { return PauseIsOpen(); }));
  ASSERT_TRUE(Press('W', [] { return PauseCursor(0) == 0; }));
  ASSERT_TRUE(Press(VK_SPACE, [] { return GsmGetCurrentState() == GS_MainMenu; }));
  const char* why = "Player 1 went back to the menu: the online game is over.";
  EXPECT_STREQ(OnlineMessage(), why);
  EXPECT_EQ(HpGameWait(peer), 1);
  EXPECT_TRUE(Has(HpFileText(peer.err), why)) << HpFileText(peer.err);
}

// The other machine dies in the middle of a battle: this one says so and is on the main menu
// some ten seconds after the last packet, whatever it was doing.
TEST_F(Online, AKilledPeerEndsTheGameHere) {
  HostHere(true, 0);
  JoinThere();
  ASSERT_TRUE(StepUntil([&] { return Playing(GS_Battle); }));
  uint32_t battle = OnlineFrame();
  ASSERT_TRUE(StepUntil([&] { return OnlineFrame() > battle + 300; }));
  kill(peer.pid, SIGKILL);
  HpGameWait(peer);
  testing::internal::CaptureStderr();
  bool menu = StepUntil([] { return GsmGetCurrentState() == GS_MainMenu; });
  double silence = OnlineSilentSeconds();
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(menu);
  EXPECT_EQ(OnlinePhaseNow(), ONLINE_Over);
  EXPECT_STREQ(OnlineMessage(), "the connection to player 2 was lost");
  EXPECT_TRUE(Has(err, "[online] the connection to player 2 was lost\n")) << err;
  EXPECT_GE(silence, 10.0);
  EXPECT_LT(silence, 12.0);
}

// A player 2 that connects with the right version and then sends random bytes (and random
// datagrams that are no packets at all) is cut off; the host waits on and plays a match with the
// next player.
TEST_F(Online, APeerSendingGarbageIsCutOffAndTheHostPlaysOn) {
  HostHere(true);
  std::unique_ptr<NetHost, void (*)(NetHost*)> rogue(NetClientCreate(), NetHostFree);
  uint32_t id = 0;
  ASSERT_TRUE(rogue && NetConnect(rogue.get(), "127.0.0.1", OnlinePort(), kOnlineVersion, &id));
  // The rogue keeps reading what comes: its side of the connection needs it too.
  bool connected = false, cut = false;
  auto service = [&] {
    NetEvent e;
    while (NetPoll(rogue.get(), &e, 0)) {
      connected = connected || e.kind == NET_Connected;
      cut = cut || e.kind == NET_Disconnected;
    }
  };
  ASSERT_TRUE(StepUntil([&] { return service(), connected && OnlinePhaseNow() == ONLINE_Meeting; },
                        5000));
  int raw = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to = {};
  to.sin_family = AF_INET;
  to.sin_port = htons(OnlinePort());
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::mt19937 random(11);
  uint8_t bytes[300];
  for (int i = 0; i < 40; ++i) {
    size_t n = 1 + random() % 200;
    for (size_t k = 0; k < n; ++k) bytes[k] = (uint8_t)random();
    sendto(raw, bytes, n, 0, (sockaddr*)&to, sizeof to);
    NetSend(rogue.get(), id, bytes, n, i % 2 == 0);
  }
  close(raw);
  NetFlush(rogue.get());
  EXPECT_TRUE(StepUntil([&] { return service(), cut; }, 5000));
  rogue.reset();
  EXPECT_EQ(OnlinePhaseNow(), ONLINE_Hosting);
  EXPECT_TRUE(Has(OnlineMessage(), "was cut off")) << OnlineMessage();

  JoinThere();
  EXPECT_FALSE(StepUntil([] { return false; }));  // to the end of the match
  ExpectSameMatch();
}

// Another version is told apart at connect and refused; both sides say so, the host waits on.
TEST_F(Online, AnotherVersionIsRefusedOnBothSides) {
  HostHere(true, 0);
  testing::internal::CaptureStderr();
  JoinThere({"--net-version", "999"});
  int status = -1;
  bool ended = StepUntil([&] { return HpGameEnded(peer, &status); }, 20000);
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(ended);
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(Has(HpFileText(peer.err), "Player 1 runs another version of Hollow Pikes (network "
                                        "version 1, this game 999)")) << HpFileText(peer.err);
  EXPECT_TRUE(Has(err, "it runs network version 999, this game 1")) << err;
  EXPECT_EQ(OnlinePhaseNow(), ONLINE_Hosting);
  EXPECT_STREQ(OnlineMessage(), "A player with another version of Hollow Pikes was refused.");
}

// A state that differs on one machine is found at the next hash: both end the game naming the
// frame, and both write their state at that frame where the README says.
TEST_F(Online, ADesyncEndsTheGameWithAReportOnBothSides) {
  HostHere(true, 0);
  JoinThere();
  ASSERT_TRUE(StepUntil([&] { return Playing(GS_Battle); }));
  BoardPlayer(1).energy += 5;  // on this machine alone
  uint32_t from = OnlineFrame();
  ASSERT_TRUE(StepUntil([] { return OnlinePhaseNow() == ONLINE_Over; }));
  uint32_t hashed = (from / 60 + 1) * 60;
  std::string frame = "frame " + std::to_string(hashed);
  EXPECT_TRUE(Has(OnlineMessage(), "out of step with player 2 at " + frame)) << OnlineMessage();
  EXPECT_EQ(HpGameWait(peer), 1);
  EXPECT_TRUE(Has(HpFileText(peer.err), "out of step with player 1 at " + frame));
  std::string name = "desync-frame-" + std::to_string(hashed) + "-player-";
  std::string mine = HpFileText(folder + "/hollow-pikes/" + name + "1.txt");
  std::string theirs = HpFileText(peer.folder + "/data/hollow-pikes/" + name + "2.txt");
  EXPECT_TRUE(Has(mine, "seat 1: lane")) << mine;
  EXPECT_TRUE(Has(theirs, "seat 1: lane")) << theirs;
  EXPECT_NE(mine, theirs);
}

// Joining where nobody hosts gives up with one line and the main menu.
TEST_F(Online, JoiningWhereNobodyHostsGivesUp) {
  int probe = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t n = sizeof a;
  ASSERT_EQ(bind(probe, (sockaddr*)&a, sizeof a), 0);
  getsockname(probe, (sockaddr*)&a, &n);
  close(probe);  // a port nobody listens on
  OnlineConfig c;
  c.join = true;
  snprintf(c.address, sizeof c.address, "127.0.0.1:%u", (unsigned)ntohs(a.sin_port));
  StartHere(c, false);
  ASSERT_TRUE(StepUntil([] { return OnlinePhaseNow() == ONLINE_Over; }, 20000));
  EXPECT_TRUE(Has(OnlineMessage(), "Nobody answered at 127.0.0.1:")) << OnlineMessage();
  HpStep(1);
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu);
}

}  // namespace
