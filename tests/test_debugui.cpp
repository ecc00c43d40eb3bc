// Debug UI: Dear ImGui's input record as the engine fills it each frame: display size, time
// step, keys held, and the characters that pressed keys type.
#include <gtest/gtest.h>
#include <imgui.h>

#include <string>

#include "hptest.h"
#include "kegraphics.h"
#include "keos.h"

namespace {

std::string gTyped;
bool gBackspaceSeen = false, gShiftSeen = false;
ImVec2 gDisplay;
float gStep = 0;

// Update runs between Dear ImGui's new frame and its render, while the record is filled.
void RecordInput() {
  ImGuiIO& io = ImGui::GetIO();
  for (ImWchar c : io.InputQueueCharacters) gTyped += (char)c;
  gBackspaceSeen = gBackspaceSeen || io.KeysDown[VK_BACK];
  gShiftSeen = gShiftSeen || io.KeyShift;
  gDisplay = io.DisplaySize;
  gStep = io.DeltaTime;
}

void Tap(int vk) {
  TestKeyDown(vk);
  ASSERT_TRUE(TestStep(2));
  TestKeyUp(vk);
  ASSERT_TRUE(TestStep(2));
}

class DebugUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gTyped.clear();
    gBackspaceSeen = gShiftSeen = false;
    ASSERT_TRUE(TestEngineStart(800, 600));
    TestRunState(GS_Battle, nullptr, nullptr, RecordInput, nullptr, nullptr, nullptr);
    ASSERT_TRUE(TestStep(2));
  }
  void TearDown() override { TestEngineStop(); }
};

TEST_F(DebugUiTest, RecordHasTheWindowSizeAndTheFrameStep) {
  EXPECT_EQ(gDisplay.x, 800.0f);
  EXPECT_EQ(gDisplay.y, 600.0f);
  EXPECT_NEAR(gStep, 1.0f / 60.0f, 1e-5);
}

TEST_F(DebugUiTest, PressedKeysTypeTheirCharacters) {
  const int keys[] = {'H', '7', VK_NUMPAD0 + 5, VK_OEM_PLUS, VK_OEM_1, VK_SPACE, VK_BACK, VK_LEFT, VK_DELETE};
  for (int vk : keys)
    Tap(vk);
  EXPECT_EQ(gTyped, "h75+; ");  // Backspace, arrows and Delete type nothing
  EXPECT_TRUE(gBackspaceSeen);    // though the key itself is seen held
  gTyped.clear();
  TestKeyDown(VK_SHIFT);
  ASSERT_TRUE(TestStep(1));
  Tap('P');
  TestKeyUp(VK_SHIFT);
  ASSERT_TRUE(TestStep(1));
  Tap('P');
  // Shift itself queues its own code 16, as every key outside the named ones does; text
  // fields drop control codes below 32.
  EXPECT_EQ(gTyped, "\x10Pp");
  EXPECT_TRUE(gShiftSeen);
}

TEST_F(DebugUiTest, EnterTypesItsControlCode) {
  Tap(VK_RETURN);
  ASSERT_EQ(gTyped.size(), 1u);
  EXPECT_EQ(gTyped[0], '\r');
}

}  // namespace
