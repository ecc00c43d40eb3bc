// Input through the real event pump: key and mouse-button frames, the wheel, the mouse position,
// and virtual gamepads read as classic pads (dead zones, triggers, slots, polling, rumble).
#include <SDL.h>
#include <gtest/gtest.h>

#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "keos.h"
#include "kesystem.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestEngineStart(800, 600));
    TestRunState(GS_Battle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    TestPadDetachAll();
    if (!stopped_) TestEngineStop();
  }
  // Attaches a pad and polls at once, so tests need not wait for the two-second poll.
  int PlugAndPoll() {
    int pad = TestPadAttach();
    InputReset();
    return pad;
  }
  bool stopped_ = false;
};

void PushMouseButton(Uint8 button, bool down) {
  SDL_Event e = {};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = button;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  SDL_PushEvent(&e);
}

void PushWheel(int x, int y) {
  SDL_Event e = {};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.x = x;
  e.wheel.y = y;
  e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  SDL_PushEvent(&e);
}

// ---- keyboard and mouse -------------------------------------------------------------------------

TEST_F(InputTest, HeldKeyReadsPressedOnceThenHeldThenUp) {
  TestKeyDown('W');
  int seen[4];
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(TestStep(1));
    seen[i] = InputGetKeyValue('W');
    if (i == 1) TestKeyDown('W');  // auto-repeat while held makes no second "pressed"
  }
  TestKeyUp('W');
  ASSERT_TRUE(TestStep(1));
  seen[3] = InputGetKeyValue('W');
  EXPECT_EQ(seen[0], 2);
  EXPECT_EQ(seen[1], 1);
  EXPECT_EQ(seen[2], 1);
  EXPECT_EQ(seen[3], 0);
  EXPECT_FALSE(InputIsPressed('W'));
  EXPECT_EQ(InputGetKeyValue('S'), 0);  // neighbours untouched
}

TEST_F(InputTest, PressAndReleaseWithinOneFrameIsNeverSeen) {
  TestKeyDown(VK_SPACE);
  TestKeyUp(VK_SPACE);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(InputIsPressed(VK_SPACE));
  EXPECT_FALSE(InputIsTriggered(VK_SPACE));
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(InputIsTriggered(VK_SPACE));
  // Released and pressed again between two frames: still held, no new "pressed".
  TestKeyDown(VK_RETURN);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputIsTriggered(VK_RETURN));
  TestKeyUp(VK_RETURN);
  TestKeyDown(VK_RETURN);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputIsPressed(VK_RETURN));
  EXPECT_FALSE(InputIsTriggered(VK_RETURN));
}

TEST_F(InputTest, MouseButtonsFollowTheKeyRule) {
  PushMouseButton(SDL_BUTTON_LEFT, true);
  PushMouseButton(SDL_BUTTON_RIGHT, true);
  PushMouseButton(SDL_BUTTON_RIGHT, false);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputMouseIsTriggered(0));
  EXPECT_FALSE(InputMouseIsPressed(1));  // down and up in one frame
  EXPECT_FALSE(InputMouseIsPressed(2));
  PushMouseButton(SDL_BUTTON_MIDDLE, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputMouseIsPressed(0));
  EXPECT_FALSE(InputMouseIsTriggered(0));
  EXPECT_TRUE(InputMouseIsTriggered(2));
  PushMouseButton(SDL_BUTTON_LEFT, false);
  PushMouseButton(SDL_BUTTON_X1, true);  // buttons beyond the three are not recorded
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(InputMouseIsPressed(0));
  EXPECT_TRUE(InputMouseIsPressed(2));
  EXPECT_FALSE(InputMouseIsPressed(3));
}

TEST_F(InputTest, WheelNotchLastsOneFrameAndTheLastOfAFrameWins) {
  PushWheel(0, 1);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputGetMouseWheel(), 1.0f);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputGetMouseWheel(), 0.0f);
  PushWheel(0, 1);
  PushWheel(0, -1);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputGetMouseWheel(), -1.0f);
  // A sideways scroll is not the wheel: it must not wipe the notch of its frame.
  PushWheel(0, 2);
  PushWheel(1, 0);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputGetMouseWheel(), 2.0f);
}

TEST_F(InputTest, MouseInWorldUnitsWithYUpAndLeavingTheWindow) {
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  ASSERT_NE(window, nullptr);
  SDL_WarpMouseInWindow(window, 400, 300);
  ASSERT_TRUE(TestStep(2));
  EXPECT_TRUE(InputIsMouseInWindow());
  EXPECT_FLOAT_EQ(InputGetMousePos().x, 0);
  EXPECT_FLOAT_EQ(InputGetMousePos().y, 0);
  SDL_WarpMouseInWindow(window, 500, 250);  // right of and above the centre
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputGetMousePos().x, 100);
  EXPECT_FLOAT_EQ(InputGetMousePos().y, 50);
  EXPECT_FLOAT_EQ(InputGetMouseDelta().x, 100);
  EXPECT_FLOAT_EQ(InputGetMouseDelta().y, 50);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputGetMouseDelta().x, 0);
  int wx, wy;
  SDL_GetWindowPosition(window, &wx, &wy);
  SDL_WarpMouseGlobal(wx + 900, wy + 20);  // off the window's right side
  ASSERT_TRUE(TestStep(2));
  EXPECT_FALSE(InputIsMouseInWindow());
  EXPECT_FLOAT_EQ(InputGetMousePos().x, 500);
}

// ---- gamepads: values -------------------------------------------------------------------------

TEST_F(InputTest, VirtualPadIsAGameControllerReadInSlotZero) {
  int pad = PlugAndPoll();
  ASSERT_GE(pad, 0);
  EXPECT_TRUE(TestPadIsGameController(pad));
  EXPECT_TRUE(InputPadIsConnected(0));
  EXPECT_FALSE(InputPadIsConnected(1));
  EXPECT_FALSE(InputPadIsConnected(-1));
  EXPECT_FALSE(InputPadIsConnected(4));
  ASSERT_TRUE(TestStep(1));
  const PadState* s = InputPadGetState(0);
  EXPECT_EQ(s->buttons, 0);
  EXPECT_EQ(s->leftTrigger, 0);  // a released trigger, not a half-pulled one
  EXPECT_EQ(s->rightTrigger, 0);
  EXPECT_EQ(s->leftX, 0);
  EXPECT_EQ(s->rightY, 0);
}

TEST_F(InputTest, EveryButtonArrivesAsItsClassicBit) {
  int pad = PlugAndPoll();
  const struct {
    SDL_GameControllerButton button;
    uint16_t bit;
  } table[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, PAD_DPAD_UP},       {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PAD_DPAD_DOWN},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PAD_DPAD_LEFT},   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PAD_DPAD_RIGHT},
      {SDL_CONTROLLER_BUTTON_START, PAD_START},           {SDL_CONTROLLER_BUTTON_BACK, PAD_BACK},
      {SDL_CONTROLLER_BUTTON_LEFTSTICK, PAD_LEFT_THUMB},  {SDL_CONTROLLER_BUTTON_RIGHTSTICK, PAD_RIGHT_THUMB},
      {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PAD_LEFT_SHOULDER},
      {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PAD_RIGHT_SHOULDER},
      {SDL_CONTROLLER_BUTTON_A, PAD_A}, {SDL_CONTROLLER_BUTTON_B, PAD_B},
      {SDL_CONTROLLER_BUTTON_X, PAD_X}, {SDL_CONTROLLER_BUTTON_Y, PAD_Y},
  };
  for (const auto& t : table) {
    TestPadSetButton(pad, t.button, true);
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(InputPadGetState(0)->buttons, t.bit) << "SDL button " << t.button;
    EXPECT_TRUE(InputPadIsTriggered(0, t.bit));
    TestPadSetButton(pad, t.button, false);
    ASSERT_TRUE(TestStep(1));
    EXPECT_FALSE(InputPadIsPressed(0, t.bit));
  }
  // The guide button has no classic bit.
  TestPadSetButton(pad, SDL_CONTROLLER_BUTTON_GUIDE, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputPadGetState(0)->buttons, 0);
}

TEST_F(InputTest, OnlyTheFourteenSingleBitsAreButtons) {
  EXPECT_EQ(InputPadButtonMask(PAD_A), PAD_A);
  EXPECT_EQ(InputPadButtonMask(PAD_DPAD_UP), PAD_DPAD_UP);
  EXPECT_EQ(InputPadButtonMask(0x0400), 0);
  EXPECT_EQ(InputPadButtonMask(0x0800), 0);
  EXPECT_EQ(InputPadButtonMask(0x1001), 0);
  EXPECT_EQ(InputPadButtonMask(0), 0);
  int pad = PlugAndPoll();
  TestPadSetButtonBits(pad, PAD_A | PAD_DPAD_UP, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputPadIsPressed(0, PAD_A));
  EXPECT_TRUE(InputPadIsPressed(0, PAD_DPAD_UP));
  EXPECT_FALSE(InputPadIsPressed(0, 0x1001));   // both bits down, still not a button
  EXPECT_FALSE(InputPadIsTriggered(0, 0x1001));
  EXPECT_FALSE(InputPadIsPressed(0, 0x1400));   // A plus the unused 0x0400
  EXPECT_FALSE(InputPadIsPressed(0, 0x0400));
  EXPECT_FALSE(InputPadIsPressed(1, PAD_A));    // an empty slot answers false
}

TEST_F(InputTest, LeftStickDeadZoneAndScale) {
  int pad = PlugAndPoll();
  struct {
    int16_t x;
    float expected;
  } cases[] = {{7849, 0.0f}, {7850, 1.0f / 24918}, {20000, 0.48764f}, {32767, 1.0f}, {-32768, -1.0f}};
  for (const auto& c : cases) {
    TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, c.x);
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(InputPadGetState(0)->leftX, c.x);
    EXPECT_NEAR(InputPadGetStick(0, PAD_LEFT).x, c.expected, 2e-5) << "raw x " << c.x;
    EXPECT_FLOAT_EQ(InputPadGetStick(0, PAD_LEFT).y, 0);
  }
  // Past full tilt on a diagonal the length is capped at 1, the direction kept.
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 32767);
  ASSERT_TRUE(TestStep(1));
  Vec2 v = InputPadGetStick(0, PAD_LEFT);
  EXPECT_NEAR(v.x, 0.70711f, 1e-4);
  EXPECT_NEAR(v.y, -0.70711f, 1e-4);
  EXPECT_FLOAT_EQ(InputPadGetStick(0, PAD_RIGHT).x, 0);  // the other stick stays put
}

TEST_F(InputTest, StickYPointsUp) {
  int pad = PlugAndPoll();
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -20000);  // pushed away from the player
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY, -32768);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputPadGetState(0)->leftY, 20000);
  EXPECT_EQ(InputPadGetState(0)->rightY, 32767);
  EXPECT_NEAR(InputPadGetStick(0, PAD_LEFT).y, 0.48764f, 2e-5);
  EXPECT_NEAR(InputPadGetStick(0, PAD_RIGHT).y, 1.0f, 1e-6);
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 32767);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputPadGetState(0)->leftY, -32767);
  EXPECT_NEAR(InputPadGetStick(0, PAD_LEFT).y, -1.0f, 1e-6);
}

TEST_F(InputTest, RightStickHasItsOwnDeadZone) {
  int pad = PlugAndPoll();
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 8689);
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 8689);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputPadGetStick(0, PAD_RIGHT).x, 0);
  EXPECT_GT(InputPadGetStick(0, PAD_LEFT).x, 0.03f);  // beyond the left stick's smaller dead zone
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 20000);
  ASSERT_TRUE(TestStep(1));
  EXPECT_NEAR(InputPadGetStick(0, PAD_RIGHT).x, (20000.0f - 8689) / 24078, 2e-5);
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
  ASSERT_TRUE(TestStep(1));
  EXPECT_NEAR(InputPadGetStick(0, PAD_RIGHT).x, 1.0f, 1e-6);
}

TEST_F(InputTest, TriggersReadAsBytesWithAThreshold) {
  int pad = PlugAndPoll();
  struct {
    uint8_t raw;
    float expected;
  } cases[] = {{29, 0.0f}, {30, 0.0f}, {31, 1.0f / 225}, {142, 112.0f / 225}, {255, 1.0f}, {0, 0.0f}};
  for (const auto& c : cases) {
    TestPadSetTrigger(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, c.raw);
    TestPadSetTrigger(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 255 - c.raw);
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(InputPadGetState(0)->leftTrigger, c.raw);
    EXPECT_EQ(InputPadGetState(0)->rightTrigger, 255 - c.raw);
    EXPECT_NEAR(InputPadGetTrigger(0, PAD_LEFT), c.expected, 1e-6) << "raw " << (int)c.raw;
  }
  TestPadSetTrigger(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 30);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputPadGetTrigger(0, PAD_RIGHT), 0);
  EXPECT_FLOAT_EQ(InputPadGetTrigger(2, PAD_RIGHT), 0);
}

// ---- gamepads: slots and polling ----------------------------------------------------------------

TEST_F(InputTest, FourSlotsInConnectionOrderAndAFreedSlotTakesTheNextPad) {
  const SDL_GameControllerButton marks[] = {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B,
                                            SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_Y,
                                            SDL_CONTROLLER_BUTTON_START};
  const uint16_t bits[] = {PAD_A, PAD_B, PAD_X, PAD_Y, PAD_START};
  int pads[5];
  for (int i = 0; i < 5; ++i) {
    pads[i] = TestPadAttach();
    ASSERT_GE(pads[i], 0);
    TestPadSetButton(pads[i], marks[i], true);  // tells the pads apart
  }
  InputReset();
  ASSERT_TRUE(TestStep(1));
  for (int slot = 0; slot < 4; ++slot) {
    ASSERT_TRUE(InputPadIsConnected(slot));
    EXPECT_EQ(InputPadGetState(slot)->buttons, bits[slot]) << "slot " << slot;
  }
  // The second pad goes; its slot is empty in the next frame and the others keep theirs.
  TestPadDetach(pads[1]);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(InputPadIsConnected(1));
  EXPECT_FALSE(InputPadIsPressed(1, PAD_B));
  EXPECT_EQ(InputPadGetState(2)->buttons, PAD_X);
  // At the next poll the waiting fifth pad fills the gap.
  for (int i = 0; i < 121 && !InputPadIsConnected(1); ++i) ASSERT_TRUE(TestStep(1));
  ASSERT_TRUE(InputPadIsConnected(1));
  EXPECT_EQ(InputPadGetState(1)->buttons, PAD_START);
  EXPECT_EQ(InputPadGetState(0)->buttons, PAD_A);
  EXPECT_EQ(InputPadGetState(3)->buttons, PAD_Y);
}

TEST_F(InputTest, UnpluggedNextFrameAndReplugFoundAtTheTwoSecondPoll) {
  int pad = PlugAndPoll();  // the poll timer starts from zero here
  ASSERT_TRUE(InputPadIsConnected(0));
  ASSERT_TRUE(TestStep(10));
  TestPadDetach(pad);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(InputPadIsConnected(0));
  EXPECT_FALSE(InputPadIsPressed(0, PAD_A));
  EXPECT_FLOAT_EQ(InputPadGetStick(0, PAD_LEFT).x, 0);
  pad = TestPadAttach();
  int frames = 0;
  while (!InputPadIsConnected(0) && frames < 200) {
    ASSERT_TRUE(TestStep(1));
    ++frames;
  }
  // Empty slots are only looked at every two seconds (120 frames of 1/60 s) from the reset.
  EXPECT_TRUE(InputPadIsConnected(0));
  EXPECT_LE(frames, 120);
  EXPECT_GE(frames, 105);
  // And it keeps being read every frame once found.
  TestPadSetButtonBits(pad, PAD_B, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputPadIsTriggered(0, PAD_B));
}

TEST_F(InputTest, PadThatConnectsWithAButtonHeldReportsATrigger) {
  int pad = TestPadAttach();
  TestPadSetButtonBits(pad, PAD_A, true);
  int frames = 0;
  while (!InputPadIsConnected(0) && frames < 130) {
    ASSERT_TRUE(TestStep(1));
    ++frames;
  }
  ASSERT_TRUE(InputPadIsConnected(0));
  EXPECT_TRUE(InputPadIsTriggered(0, PAD_A));
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputPadIsPressed(0, PAD_A));
  EXPECT_FALSE(InputPadIsTriggered(0, PAD_A));
}

// ---- rumble ----------------------------------------------------------------------------------

TEST_F(InputTest, VibrationIsClampedAndSentOnBothMotors) {
  int pad = PlugAndPoll();
  InputPadSetVibration(0, 1.5f);
  EXPECT_EQ(TestPadGetRumble(pad).low, 65535);
  EXPECT_EQ(TestPadGetRumble(pad).high, 65535);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(0), 1.0f);
  EXPECT_FLOAT_EQ(InputPadGetRightMotor(0), 1.0f);
  InputPadSetVibration(0, 0.5f);
  EXPECT_EQ(TestPadGetRumble(pad).low, 32767);  // truncated, not rounded
  EXPECT_EQ(TestPadGetRumble(pad).high, 32767);
  InputPadSetVibration(0, -0.2f);
  EXPECT_EQ(TestPadGetRumble(pad).low, 0);
  EXPECT_EQ(TestPadGetRumble(pad).high, 0);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(0), 0.0f);
}

TEST_F(InputTest, OneMotorKeepsTheOtherAndStopEndsBoth) {
  int pad = PlugAndPoll();
  InputPadSetLeftMotor(0, 1.0f);
  EXPECT_EQ(TestPadGetRumble(pad).low, 65535);
  EXPECT_EQ(TestPadGetRumble(pad).high, 0);
  InputPadSetRightMotor(0, 0.25f);
  EXPECT_EQ(TestPadGetRumble(pad).low, 65535);
  EXPECT_EQ(TestPadGetRumble(pad).high, 16383);
  InputPadSetLeftMotor(0, 2.0f);  // clamped like the pair
  InputPadSetLeftMotor(0, 0.0f);
  EXPECT_EQ(TestPadGetRumble(pad).low, 0);
  EXPECT_EQ(TestPadGetRumble(pad).high, 16383);
  EXPECT_FLOAT_EQ(InputPadGetRightMotor(0), 0.25f);
  InputPadSetLeftMotor(0, 0.5f);
  InputPadStopVibration(0);
  EXPECT_EQ(TestPadGetRumble(pad).low, 0);
  EXPECT_EQ(TestPadGetRumble(pad).high, 0);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(0), 0.0f);
  EXPECT_FLOAT_EQ(InputPadGetRightMotor(0), 0.0f);
}

TEST_F(InputTest, RumbleForAnEmptySlotIsIgnored) {
  int pad = PlugAndPoll();
  TestPadClearRumble(pad);
  InputPadSetVibration(1, 1.0f);
  InputPadSetLeftMotor(1, 1.0f);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(1), 0.0f);
  EXPECT_EQ(TestPadGetRumble(pad).calls, 0);  // and nothing leaks to the pad in slot 0
}

TEST_F(InputTest, MotorKeepsRunningUntilSetToZero) {
  int pad = PlugAndPoll();
  InputPadSetVibration(0, 0.75f);
  // Longer than any short effect SDL might have been given; the engine's runs on.
  SDL_Delay(1500);
  ASSERT_TRUE(TestStep(3));
  EXPECT_EQ(TestPadGetRumble(pad).low, 49151);
  EXPECT_EQ(TestPadGetRumble(pad).high, 49151);
}

TEST_F(InputTest, ResetAndShutDownStopEveryMotor) {
  int a = TestPadAttach(), b = TestPadAttach();
  InputReset();
  InputPadSetVibration(0, 1.0f);
  InputPadSetRightMotor(1, 0.5f);
  ASSERT_EQ(TestPadGetRumble(b).high, 32767);
  InputReset();
  EXPECT_EQ(TestPadGetRumble(a).low, 0);
  EXPECT_EQ(TestPadGetRumble(a).high, 0);
  EXPECT_EQ(TestPadGetRumble(b).high, 0);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(0), 0.0f);
  EXPECT_TRUE(InputPadIsConnected(0));  // the reset polls again at once
  EXPECT_TRUE(InputPadIsConnected(1));
  // Shut-down goes through the same reset.
  InputPadSetVibration(1, 1.0f);
  ASSERT_EQ(TestPadGetRumble(b).low, 65535);
  TestPadClearRumble(b);
  TestEngineStop();
  stopped_ = true;
  EXPECT_GE(TestPadGetRumble(b).calls, 1);
  EXPECT_EQ(TestPadGetRumble(b).low, 0);
  EXPECT_EQ(TestPadGetRumble(b).high, 0);
  TestPadForgetAll();  // SDL freed the pads when it shut down
}

}  // namespace
