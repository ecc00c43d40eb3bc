// Game state manager: the call orders of every kind of request, on the real frame loop.
#include <gtest/gtest.h>

#include <string>

#include "hptest.h"
#include "kegsm.h"
#include "states.h"

namespace {

std::string gLog;
GameStateId gRequestIn = 0;     // state id to request
char gRequestWhere = 0;         // 'I' init, 'U' update
GameStateId gDrawOverride = 0;  // state id to request in draw

void Log(const char* what, char where = 0) {
  gLog += what + std::to_string(GsmGetCurrentState()) + ' ';
  if (where && where == gRequestWhere) {
    gRequestWhere = 0;
    GsmSetNextState(gRequestIn);
  }
}
void ALoad() { Log("L"); }
void AInit() { Log("I", 'I'); }
void AUpdate() { Log("U", 'U'); }
void ADraw() {
  Log("D");
  if (gDrawOverride) GsmSetNextState(gDrawOverride);
  gDrawOverride = 0;
}
void AFree() { Log("F"); }
void AUnload() { Log("X"); }

// Runs one frame and returns what it logged.
std::string Frame(bool running = true) {
  gLog.clear();
  EXPECT_EQ(TestStep(1), running);
  return gLog;
}

class GsmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestEngineStart(320, 240));
    gLog.clear();
    gRequestWhere = 0;
    gDrawOverride = 0;
    GsmAddState(GS_Battle, ALoad, AInit, AUpdate, ADraw, AFree, AUnload);
    GsmAddState(GS_MainMenu, ALoad, AInit, AUpdate, ADraw, AFree, AUnload);
  }
  void TearDown() override { TestEngineStop(); }
};

TEST_F(GsmTest, ChangeRestartIgnoredRequestsAndQuit) {
  GsmInit(GS_MainMenu);
  EXPECT_EQ(Frame(), "L69 I69 U69 D69 ");
  GsmSetNextState(GS_Battle);
  EXPECT_EQ(Frame(), "F69 X69 L3 I3 U3 D3 ");
  EXPECT_EQ(GsmGetPreviousState(), GS_MainMenu);
  GsmSetNextState(GS_Restart);
  EXPECT_EQ(Frame(), "F3 I3 U3 D3 ");
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  EXPECT_EQ(GsmGetPreviousState(), GS_MainMenu);

  // The current id, an unregistered id, and a change from update overwritten in draw by the
  // current id are all no request.
  gRequestIn = GS_Battle;
  gRequestWhere = 'U';
  EXPECT_EQ(Frame(), "U3 D3 ");
  GsmSetNextState(12345);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  EXPECT_EQ(Frame(), "U3 D3 ");
  gRequestIn = GS_MainMenu;
  gRequestWhere = 'U';
  gDrawOverride = GS_Battle;
  EXPECT_EQ(Frame(), "U3 D3 ");
  EXPECT_EQ(Frame(), "U3 D3 ");

  // Quit from update: that frame still draws, the next frees, unloads and ends the loop.
  gRequestIn = GS_Quit;
  gRequestWhere = 'U';
  EXPECT_EQ(Frame(), "U3 D3 ");
  EXPECT_EQ(Frame(false), "F3 X3 ");
  EXPECT_EQ(GsmGetCurrentState(), GS_Quit);
  EXPECT_EQ(GsmGetPreviousState(), GS_Battle);
  EXPECT_FALSE(TestStep(1));
}

TEST_F(GsmTest, NullCallbacksDuplicatesInitRequestAndWindowClose) {
  GsmAddState(GS_Battle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);  // ignored
  GsmAddState(GS_Credits, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmInit(GS_Credits);
  EXPECT_EQ(Frame(), "");
  // A change requested in init runs no frame of the state that asked.
  gRequestIn = GS_MainMenu;
  gRequestWhere = 'I';
  GsmSetNextState(GS_Battle);
  EXPECT_EQ(Frame(), "L3 I3 F3 X3 L69 I69 U69 D69 ");
  // Closing the window quits after one more frame.
  TestPushQuit();
  EXPECT_EQ(Frame(), "U69 D69 ");
  EXPECT_EQ(Frame(false), "F69 X69 ");
}

}  // namespace
