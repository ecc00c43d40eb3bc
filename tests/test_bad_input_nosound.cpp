// The real game with no sound device at all (chosen before the first OpenAL call of this
// program): it says so once, then plays into a battle, through a round and out, silently.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "framework/audio.h"
#include "hpplay.h"

namespace {

TEST(NoSoundDeviceTest, GamePlaysSilentlyAndSaysSoOnce) {
  setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
  testing::internal::CaptureStderr();
  PlayMatchRound([] {
    EXPECT_FALSE(gAudio.IsOn());
    EXPECT_FALSE(gSettingsAudio.IsOn());
  });
  std::string log = testing::internal::GetCapturedStderr();
  int said = 0;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("[audio]", 0) == 0) ++said;
  EXPECT_EQ(said, 1) << log;
}

}  // namespace
