// The real game with no sound device at all (chosen before the program's first OpenAL call): it
// says so once, then plays into a battle, through a round and out, silently.

#include <sstream>

#include "hp.h"

TEST(NoSoundDevice, GamePlaysSilentlyAndSaysSoOnce) {
  HpSetEnv("ALSOFT_DRIVERS", "no-such-backend");
  testing::internal::CaptureStderr();
  HpPlayMatchRound([] { EXPECT_FALSE(gAudio.IsOn() || gSettingsAudio.IsOn()); });
  std::istringstream log(testing::internal::GetCapturedStderr());
  int said = 0;
  for (std::string line; std::getline(log, line);) said += line.rfind("[audio]", 0) == 0;
  EXPECT_EQ(said, 1) << log.str();
}
