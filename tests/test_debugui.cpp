// Debug UI: Dear ImGui's input record as the engine fills it each frame: display size, time
// step, keys held, and the characters that pressed keys type.
#include <gtest/gtest.h>
#include <imgui.h>

#include <string>

#include "hptest.h"
#include "keinput.h"
#include "states.h"

namespace {

std::string gTyped;
bool gBackspaceSeen = false;

// Update runs between Dear ImGui's new frame and its render, while the record is filled.
void RecordInput() {
  ImGuiIO& io = ImGui::GetIO();
  for (ImWchar c : io.InputQueueCharacters) gTyped += (char)c;
  gBackspaceSeen = gBackspaceSeen || io.KeysDown[VK_BACK];
}

void Tap(int vk) {
  TestKeyDown(vk);
  ASSERT_TRUE(TestStep(1));
  TestKeyUp(vk);
  ASSERT_TRUE(TestStep(1));
}

TEST(DebugUiTest, RecordAndTypedCharacters) {
  ASSERT_TRUE(TestEngineStart(320, 240));
  TestRunState(GS_Battle, nullptr, nullptr, RecordInput, nullptr, nullptr, nullptr);
  ASSERT_TRUE(TestStep(1));
  EXPECT_EQ(ImGui::GetIO().DisplaySize.x, 320.0f);
  EXPECT_EQ(ImGui::GetIO().DisplaySize.y, 240.0f);
  EXPECT_NEAR(ImGui::GetIO().DeltaTime, 1.0f / 60.0f, 1e-5);

  // Backspace, arrows and Delete type nothing, though Backspace is seen held; Enter types its
  // control code, Shift its own code 16 (text fields drop codes below 32) and makes capitals.
  const int keys[] = {'H', '7', VK_NUMPAD0 + 5, VK_OEM_PLUS, VK_OEM_1, VK_SPACE, VK_BACK, VK_LEFT,
                      VK_DELETE, VK_RETURN};
  for (int vk : keys) Tap(vk);
  TestKeyDown(VK_SHIFT);
  Tap('P');
  TestKeyUp(VK_SHIFT);
  Tap('P');
  EXPECT_EQ(gTyped, "h75+; \r\x10Pp");
  EXPECT_TRUE(gBackspaceSeen);
  TestEngineStop();
}

}  // namespace
