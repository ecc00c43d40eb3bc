// Input through the real event pump: key and mouse-button frames, the wheel, the mouse position,
// and virtual gamepads read as classic pads (dead zones, triggers, slots, polling, rumble).
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "hppad.h"
#include "hptest.h"
#include "keinput.h"
#include "states.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestEngineStart(320, 240));
    TestRunState(GS_Battle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    TestPadDetachAll();
    if (!stopped_) TestEngineStop();
  }
  bool stopped_ = false;
};

int FramesUntilConnected(int slot, int limit) {
  int frames = 0;
  for (; !InputPadIsConnected(slot) && frames < limit; ++frames) TestStep(1);
  return frames;
}

void ExpectRumble(int pad, uint16_t low, uint16_t high) {
  EXPECT_EQ(TestPadGetRumble(pad).low, low);
  EXPECT_EQ(TestPadGetRumble(pad).high, high);
}

void Push(Uint32 type, Uint8 button, int wheelX = 0, int wheelY = 0) {
  SDL_Event e = {};
  e.type = type;
  if (type == SDL_MOUSEWHEEL) {
    e.wheel.x = wheelX;
    e.wheel.y = wheelY;
  } else {
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  }
  SDL_PushEvent(&e);
}

// A program's tap (the computer player's) reads exactly as a press of one frame; it waits while
// the key is held by hand or was in the last frame, and a real press during it stays held.
TEST_F(InputTest, InjectedTapsAreFreshPressesOfOneFrame) {
  auto frames = [](int key, std::vector<int> actions) {
    std::vector<int> seen;
    for (int a : actions) {
      if (a == 1) InputInjectKey(key);
      if (a == 2) TestKeyDown(key);
      if (a == 3) TestKeyUp(key);
      TestStep(1);
      seen.push_back(InputGetKeyValue(key));
    }
    return seen;
  };
  EXPECT_EQ(frames('W', {1, 0, 0}), (std::vector<int>{2, 0, 0}));
  // Held by hand, released, then the waiting tap: up for a frame before it.
  EXPECT_EQ(frames('S', {2, 1, 3, 0, 0}), (std::vector<int>{2, 1, 0, 2, 0}));
  EXPECT_EQ(frames('D', {1, 2, 0, 3}), (std::vector<int>{2, 1, 1, 0}));
}

TEST_F(InputTest, KeysMouseButtonsWheelAndPointer) {
  // Held three frames (auto-repeat included) reads 2, 1, 1, then 0 once released.
  const int expected[] = {2, 1, 1, 0};
  TestKeyDown('W');
  for (int i = 0; i < 4; ++i) {
    if (i == 1) TestKeyDown('W');
    if (i == 3) TestKeyUp('W');
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(InputGetKeyValue('W'), expected[i]) << "frame " << i;
  }
  // Down and up within one frame is never seen.
  TestKeyDown(VK_SPACE);
  TestKeyUp(VK_SPACE);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(InputIsPressed(VK_SPACE));
  EXPECT_FALSE(InputIsTriggered(VK_SPACE));

  // Mouse buttons by the same rule; the wheel's last notch of a frame wins, a sideways scroll
  // leaves it, and it lasts one frame.
  Push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
  Push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
  Push(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputMouseIsTriggered(0));
  EXPECT_FALSE(InputMouseIsPressed(1));
  Push(SDL_MOUSEWHEEL, 0, 0, 1);
  Push(SDL_MOUSEWHEEL, 0, 0, -2);
  Push(SDL_MOUSEWHEEL, 0, 1, 0);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputGetMouseWheel(), -2.0f);
  EXPECT_TRUE(InputMouseIsPressed(0));
  EXPECT_FALSE(InputMouseIsTriggered(0));
  ASSERT_TRUE(TestStep(1));
  EXPECT_FLOAT_EQ(InputGetMouseWheel(), 0.0f);

  // The pointer in world units with y up, and leaving the window.
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  SDL_WarpMouseInWindow(window, 260, 70);
  ASSERT_TRUE(TestStep(2));
  EXPECT_TRUE(InputIsMouseInWindow());
  EXPECT_FLOAT_EQ(InputGetMousePos().x, 100);
  EXPECT_FLOAT_EQ(InputGetMousePos().y, 50);
  int wx, wy;
  SDL_GetWindowPosition(window, &wx, &wy);
  SDL_WarpMouseGlobal(wx + 900, wy + 20);
  ASSERT_TRUE(TestStep(2));
  EXPECT_FALSE(InputIsMouseInWindow());
}

TEST_F(InputTest, PadButtonsSticksAndTriggers) {
  int pad = TestPadAttach();
  InputReset();  // polls at once instead of waiting for the two-second poll
  ASSERT_TRUE(InputPadIsConnected(0));
  EXPECT_FALSE(InputPadIsConnected(1));
  // Every classic bit arrives as itself.
  const uint16_t bits[] = {PAD_DPAD_UP, PAD_DPAD_DOWN, PAD_DPAD_LEFT, PAD_DPAD_RIGHT, PAD_START,
                           PAD_BACK, PAD_LEFT_THUMB, PAD_RIGHT_THUMB, PAD_LEFT_SHOULDER,
                           PAD_RIGHT_SHOULDER, PAD_A, PAD_B, PAD_X, PAD_Y};
  for (uint16_t bit : bits) {
    TestPadSetButtonBits(pad, bit, true);
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(InputPadGetState(0)->buttons, bit);
    EXPECT_TRUE(InputPadIsTriggered(0, bit));
    TestPadSetButtonBits(pad, bit, false);
  }

  // 0x0400 and 0x1001 are never buttons, not even with both bits of 0x1001 down.
  TestPadSetButtonBits(pad, PAD_A | PAD_DPAD_UP, true);
  ASSERT_TRUE(TestStep(1));
  EXPECT_TRUE(InputPadIsPressed(0, PAD_A));
  for (uint16_t mask : {0x0400, 0x1001, 0x1400}) {
    EXPECT_FALSE(InputPadIsPressed(0, mask)) << mask;
    EXPECT_FALSE(InputPadIsTriggered(0, mask)) << mask;
  }

  // Left stick: dead zone 7849, scale, y up, length capped at 1 on a diagonal.
  const struct { int16_t x; float want; } sticks[] = {
      {7849, 0.0f}, {7850, 1.0f / 24918}, {20000, 0.48764f}, {-32768, -1.0f}};
  for (const auto& c : sticks) {
    TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, c.x);
    ASSERT_TRUE(TestStep(1));
    EXPECT_NEAR(InputPadGetStick(0, PAD_LEFT).x, c.want, 2e-5) << "raw x " << c.x;
  }
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 32767);  // SDL's y grows downward
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 8689);  // inside the right stick's larger zone
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputPadGetState(0)->leftY, -32767);
  EXPECT_NEAR(InputPadGetStick(0, PAD_LEFT).x, 0.70711f, 1e-4);
  EXPECT_NEAR(InputPadGetStick(0, PAD_LEFT).y, -0.70711f, 1e-4);
  EXPECT_FLOAT_EQ(InputPadGetStick(0, PAD_RIGHT).x, 0);
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 0);
  TestPadSetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY, -32768);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputPadGetState(0)->rightY, 32767);
  EXPECT_NEAR(InputPadGetStick(0, PAD_RIGHT).y, 1.0f, 1e-6);

  // Triggers: bytes, with everything up to 30 read as released.
  const struct { uint8_t raw; float want; } triggers[] = {
      {30, 0.0f}, {31, 1.0f / 225}, {142, 112.0f / 225}, {255, 1.0f}};
  for (const auto& c : triggers) {
    TestPadSetTrigger(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, c.raw);
    ASSERT_TRUE(TestStep(1));
    EXPECT_EQ(InputPadGetState(0)->rightTrigger, c.raw);
    EXPECT_NEAR(InputPadGetTrigger(0, PAD_RIGHT), c.want, 1e-6) << "raw " << (int)c.raw;
  }
}

TEST_F(InputTest, PadSlotsUnplugAndPolling) {
  // A pad that connects with a button held reports a trigger at the poll that finds it.
  int first = TestPadAttach();
  TestPadSetButtonBits(first, PAD_A, true);
  FramesUntilConnected(0, 130);
  ASSERT_TRUE(InputPadIsConnected(0));
  EXPECT_TRUE(InputPadIsTriggered(0, PAD_A));

  // Slots follow connection order; an unplugged pad's slot is empty in the next frame, and a new
  // pad fills it at the next two-second poll (120 frames), not before.
  int second = TestPadAttach(), third = TestPadAttach();
  TestPadSetButtonBits(second, PAD_B, true);
  TestPadSetButtonBits(third, PAD_X, true);
  InputReset();
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(InputPadGetState(1)->buttons, PAD_B);
  EXPECT_EQ(InputPadGetState(2)->buttons, PAD_X);
  TestPadDetach(second);
  ASSERT_TRUE(TestStep(1));
  EXPECT_FALSE(InputPadIsConnected(1));
  EXPECT_FALSE(InputPadIsPressed(1, PAD_B));
  EXPECT_EQ(InputPadGetState(2)->buttons, PAD_X);
  int fourth = TestPadAttach();
  TestPadSetButtonBits(fourth, PAD_Y, true);
  int frames = FramesUntilConnected(1, 200);
  EXPECT_TRUE(InputPadIsConnected(1));
  EXPECT_GE(frames, 110);
  EXPECT_LE(frames, 120);
  EXPECT_EQ(InputPadGetState(1)->buttons, PAD_Y);
}

TEST_F(InputTest, RumbleClampsKeepsTheOtherMotorAndStopsAtShutDown) {
  int a = TestPadAttach(), b = TestPadAttach();
  InputReset();
  InputPadSetVibration(0, 1.5f);
  ExpectRumble(a, 65535, 65535);
  InputPadSetVibration(0, -0.2f);
  ExpectRumble(a, 0, 0);
  // One motor keeps the other's speed.
  InputPadSetLeftMotor(0, 1.0f);
  InputPadSetRightMotor(0, 0.25f);
  InputPadSetLeftMotor(0, 0.0f);
  ExpectRumble(a, 0, 16383);
  EXPECT_FLOAT_EQ(InputPadGetRightMotor(0), 0.25f);
  InputPadStopVibration(0);
  EXPECT_EQ(TestPadGetRumble(a).high, 0);
  // An empty slot is ignored; nothing leaks to the pads present.
  TestPadClearRumble(a);
  InputPadSetVibration(2, 1.0f);
  EXPECT_FLOAT_EQ(InputPadGetLeftMotor(2), 0.0f);
  EXPECT_EQ(TestPadGetRumble(a).calls, 0);
  // Shut-down stops every running motor.
  InputPadSetVibration(1, 1.0f);
  ASSERT_EQ(TestPadGetRumble(b).low, 65535);
  TestPadClearRumble(b);
  TestEngineStop();
  stopped_ = true;
  EXPECT_GE(TestPadGetRumble(b).calls, 1);
  ExpectRumble(b, 0, 0);
  TestPadForgetAll();  // SDL freed the pads when it shut down
}

}  // namespace
