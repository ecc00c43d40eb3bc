// AudioSystem on OpenAL Soft's null backend: the sound cache, the slot pool and its recycling,
// the clamps, the independence of the instances, and a game that starts without a device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/audio.h"
#include "kesound.h"
#include "game.h"
#include "hpaudio.h"

namespace {

bool Busy(AudioSystem& a, ChannelSlot* slot) {
  return std::find(a.busySlots.begin(), a.busySlots.end(), slot) != a.busySlots.end();
}

class AudioTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TestUseNullBackend(); }
  void SetUp() override { ASSERT_TRUE(gAudio.Init()); }
  void TearDown() override {
    gAudio.Shutdown();
    gSettingsAudio.Shutdown();
  }
};

TEST_F(AudioTest, CacheMissingFilesAndVolumeClamps) {
  std::string path = TestSineWav("select.wav", 1.0);
  SoundEntry* e = gAudio.LoadSound(path.c_str());
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(gAudio.LoadSound(path.c_str()), e);
  EXPECT_EQ(gAudio.LoadSound("data/Sound/NoSuchSound.wav"), nullptr);
  EXPECT_EQ(gAudio.soundCount, 1);
  EXPECT_EQ(gAudio.Play(nullptr, 1.0f), nullptr);

  ChannelSlot* slot = gAudio.Play(e, 0.0f);
  ASSERT_NE(slot, nullptr);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(slot->channel), 0.0f);  // silent from its first sample
  slot->SetVolume(1.7f);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(slot->channel), 1.0f);
  slot->SetVolume(-0.2f);
  EXPECT_FLOAT_EQ(slot->volume, 0.0f);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(gAudio.Play(e, 1.7f)->channel), 1.0f);
}

TEST_F(AudioTest, HundredLoopsFillThePoolAndEndedSlotsComeBackAtTheNextUpdate) {
  SoundEntry* e = gAudio.LoadSound(TestSineWav("loop.wav", 0.05).c_str());
  for (int i = 0; i < 100; ++i) {
    ChannelSlot* slot = gAudio.Play(e, 1.0f);
    ASSERT_NE(slot, nullptr) << "play " << i;
    slot->SetLooping(true);
  }
  usleep(200000);  // four passes: looping slots never come back by themselves
  gAudio.Update();
  EXPECT_EQ(gAudio.Play(e, 1.0f), nullptr);
  gAudio.StopAll();
  EXPECT_EQ(gAudio.freeSlots.size(), 100u);

  ChannelSlot* once = gAudio.Play(e, 1.0f);
  ASSERT_NE(once, nullptr);
  for (int i = 0; i < 300 && SndChannelIsPlaying(once->channel); ++i) usleep(10000);
  EXPECT_TRUE(Busy(gAudio, once));  // nothing moves without an Update
  gAudio.Update();
  EXPECT_FALSE(Busy(gAudio, once));
  EXPECT_EQ(gAudio.freeSlots.back(), once);
}

TEST_F(AudioTest, SettingsInstanceStopsOnlyItsOwnChannels) {
  ASSERT_TRUE(gSettingsAudio.Init());
  std::string path = TestSineWav("music.wav", 0.2);
  ChannelSlot* battle = gAudio.Play(gAudio.LoadSound(path.c_str()), 1.0f);
  ChannelSlot* settings = gSettingsAudio.Play(gSettingsAudio.LoadSound(path.c_str()), 1.0f);
  ASSERT_TRUE(battle && settings);
  battle->SetLooping(true);
  settings->SetLooping(true);
  battle->SetPaused(true);  // the battle is on hold while the settings screen plays
  gSettingsAudio.StopAll();
  // The battle's entry handed to the settings' instance, which holds its own of the same file:
  // neither is freed.
  gSettingsAudio.FreeSound(gAudio.LoadSound(path.c_str()));
  EXPECT_EQ(gSettingsAudio.soundCount, 1);
  EXPECT_EQ(gAudio.soundCount, 1);
  gSettingsAudio.FreeSound(gSettingsAudio.LoadSound(path.c_str()));
  gAudio.Update();
  EXPECT_FALSE(SndChannelIsPlaying(settings->channel));
  EXPECT_TRUE(Busy(gAudio, battle));
  battle->SetPaused(false);
  EXPECT_TRUE(SndChannelIsPlaying(battle->channel));

  // Freeing a sound that still plays stops its channels first (the menu frees before it stops).
  gAudio.FreeSound(gAudio.LoadSound(path.c_str()));
  EXPECT_FALSE(SndChannelIsPlaying(battle->channel));
  gAudio.Update();
  EXPECT_TRUE(gAudio.busySlots.empty());
}

// A fresh process without any usable device: start-up goes on silent and says so once, and
// nothing else is printed. ALSA with a configuration that names no device fails, and complains,
// on any machine as on one without a sound card.
TEST(AudioNoDeviceTest, GameStartsSilentAndSaysSoOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto run = [] {
    std::string config = TestTempPath("no-card.conf");
    if (FILE* f = fopen(config.c_str(), "w")) fclose(f);
    setenv("ALSOFT_DRIVERS", "alsa", 1);
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    std::string log = TestTempPath("stderr.txt");
    if (!freopen(log.c_str(), "w", stderr)) _exit(100);
    bool started = GameStart();
    bool harmless = !gAudio.IsOn() && gAudio.LoadSound(TestSineWav("x.wav", 0.1).c_str()) == nullptr;
    gAudio.Update();
    fflush(stderr);
    FILE* f = fopen(log.c_str(), "r");
    int lines = 0;
    char line[512];
    while (f && fgets(line, sizeof line, f))
      lines += strncmp(line, "[audio]", 7) == 0 && strstr(line, "without sound") ? 1 : 10;
    _exit(started && harmless ? lines : 100 + lines);  // skips the teardown of the window
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(1), "");
}

}  // namespace
