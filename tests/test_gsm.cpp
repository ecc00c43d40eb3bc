// Game state manager: the call orders of every kind of request, on the real frame loop.
#include <gtest/gtest.h>

#include <string>

#include "hptest.h"
#include "kegsm.h"

namespace {

std::string gLog;
GameStateId gRequestIn = 0;   // state id to request
char gRequestWhere = 0;       // 'I' init, 'U' update, 'D' draw
GameStateId gDrawOverride = 0;

void Log(const char* what) {
  gLog += what;
  gLog += std::to_string(GsmGetCurrentState());
  gLog += ' ';
}

void ALoad() { Log("L"); }
void AInit() { Log("I"); if (gRequestWhere == 'I') { gRequestWhere = 0; GsmSetNextState(gRequestIn); } }
void AUpdate() { Log("U"); if (gRequestWhere == 'U') { gRequestWhere = 0; GsmSetNextState(gRequestIn); } }
void ADraw() {
  Log("D");
  if (gDrawOverride) { GsmSetNextState(gDrawOverride); gDrawOverride = 0; }
}
void AFree() { Log("F"); }
void AUnload() { Log("X"); }

class GsmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestEngineStart());
    gLog.clear();
    gRequestWhere = 0;
    gDrawOverride = 0;
    GsmAddState(GS_Battle, ALoad, AInit, AUpdate, ADraw, AFree, AUnload);
    GsmAddState(GS_MainMenu, ALoad, AInit, AUpdate, ADraw, AFree, AUnload);
  }
  void TearDown() override { TestEngineStop(); }
};

TEST_F(GsmTest, ChangeToAnotherStateFreesUnloadsThenLoadsAndInits) {
  GsmInit(GS_MainMenu);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gLog, "L69 I69 U69 D69 ");
  gLog.clear();
  GsmSetNextState(GS_Battle);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gLog, "F69 X69 L3 I3 U3 D3 ");
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(GsmGetPreviousState(), GS_MainMenu);
}

TEST_F(GsmTest, RestartRunsOnlyFreeAndInitAndKeepsPrevious) {
  GsmInit(GS_MainMenu);
  ASSERT_TRUE(TestStep(1));
  GsmSetNextState(GS_Battle);
  ASSERT_TRUE(TestStep(1));
  gLog.clear();
  GsmSetNextState(GS_Restart);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gLog, "F3 I3 U3 D3 ");
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  EXPECT_EQ(GsmGetPreviousState(), GS_MainMenu);
}

TEST_F(GsmTest, QuitFreesAndUnloadsAndEndsTheLoop) {
  GsmInit(GS_Battle);
  gRequestIn = GS_Quit;
  gRequestWhere = 'U';
  ASSERT_TRUE(TestStep(1));  // the requesting frame still draws
  EXPECT_EQ(gLog, "L3 I3 U3 D3 ");
  gLog.clear();
  EXPECT_FALSE(TestStep(1));
  EXPECT_EQ(gLog, "F3 X3 ");
  EXPECT_EQ(GsmGetCurrentState(), GS_Quit);
  EXPECT_EQ(GsmGetPreviousState(), GS_Battle);
  EXPECT_FALSE(TestStep(1));  // stays over
}

TEST_F(GsmTest, RequestForTheCurrentIdIsNoRequest) {
  GsmInit(GS_Battle);
  gRequestIn = GS_Battle;
  gRequestWhere = 'U';
  ASSERT_TRUE(TestStep(3));
  EXPECT_EQ(gLog, "L3 I3 U3 D3 U3 D3 U3 D3 ");
}

TEST_F(GsmTest, ChangeRequestedInInitRunsNoFrameOfThatState) {
  gRequestIn = GS_MainMenu;
  gRequestWhere = 'I';
  GsmInit(GS_Battle);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gLog, "L3 I3 F3 X3 L69 I69 U69 D69 ");
}

TEST_F(GsmTest, WriteOfCurrentIdInDrawCancelsChangeFromUpdate) {
  GsmInit(GS_Battle);
  gRequestIn = GS_MainMenu;
  gRequestWhere = 'U';
  gDrawOverride = GS_Battle;
  ASSERT_TRUE(TestStep(2));
  EXPECT_EQ(gLog, "L3 I3 U3 D3 U3 D3 ");
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
}

TEST_F(GsmTest, DuplicateRegistrationKeepsTheFirstCallbacks) {
  GsmAddState(GS_Battle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmInit(GS_Battle);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gLog, "L3 I3 U3 D3 ");
}

TEST_F(GsmTest, UnregisteredIdIsIgnored) {
  GsmInit(GS_Battle);
  ASSERT_TRUE(TestStep(1));
  gLog.clear();
  GsmSetNextState(12345);
  EXPECT_EQ(GsmGetNextState(), GS_Battle);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gLog, "U3 D3 ");
}

TEST_F(GsmTest, NullCallbacksRunAsNoOps) {
  GsmAddState(GS_Credits, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  GsmInit(GS_Credits);
  ASSERT_TRUE(TestStep(2));
  GsmSetNextState(GS_Battle);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(gLog, "L3 I3 U3 D3 ");
}

TEST_F(GsmTest, ClosingTheWindowQuitsAfterOneMoreFrame) {
  GsmInit(GS_Battle);
  ASSERT_TRUE(TestStep(1));
  gLog.clear();
  TestPushQuit();
  ASSERT_TRUE(TestStep(1));   // this frame still updates and draws
  EXPECT_EQ(gLog, "U3 D3 ");
  EXPECT_FALSE(TestStep(1));
  EXPECT_EQ(gLog, "U3 D3 F3 X3 ");
}

}  // namespace
