// AudioSystem on OpenAL Soft's null backend: the sound cache, the slot pool and its recycling,
// the clamps, the independence of the instances, and a game that starts without a device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/audio.h"
#include "framework/sounddevice.h"
#include "game.h"
#include "hpaudio.h"

namespace {

// Polls in real time (the backend mixes in real time) until the channel has stopped.
bool WaitUntilSilent(ChannelSlot* slot, double seconds) {
  for (int i = 0; i < (int)(seconds * 100); ++i) {
    if (!SndChannelIsPlaying(slot->channel)) return true;
    usleep(10000);
  }
  return false;
}

bool Contains(const std::list<ChannelSlot*>& list, ChannelSlot* slot) {
  for (ChannelSlot* s : list)
    if (s == slot) return true;
  return false;
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

TEST_F(AudioTest, SoundLoadedTwiceIsOneEntryAndMissingFilesGiveNull) {
  std::string path = TestSineWav("select.wav", 0.1);
  SoundEntry* a = gAudio.LoadSound(path.c_str());
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(gAudio.LoadSound(path.c_str()), a);
  EXPECT_EQ(gAudio.soundCount, 1);

  EXPECT_EQ(gAudio.LoadSound("data/Sound/NoSuchSound.wav"), nullptr);
  std::string notWav = TestTempPath("not.wav");
  FILE* f = fopen(notWav.c_str(), "w");
  fputs("this is no sound", f);
  fclose(f);
  EXPECT_EQ(gAudio.LoadSound(notWav.c_str()), nullptr);
  EXPECT_EQ(gAudio.soundCount, 1);
  EXPECT_EQ(gAudio.Play(nullptr, 1.0f), nullptr);
  EXPECT_EQ(gAudio.busySlots.size(), 0u);

  gAudio.FreeSound(a);
  EXPECT_EQ(gAudio.soundCount, 0);
  EXPECT_TRUE(gAudio.sounds.empty());
}

TEST_F(AudioTest, StereoAnd8BitFilesLoadToo) {
  EXPECT_NE(gAudio.LoadSound(TestSineWav("stereo.wav", 0.1, 440, 2, 44100).c_str()), nullptr);
  // 8-bit unsigned samples, converted to 16-bit on load.
  std::string path = TestTempPath("eight.wav");
  FILE* f = fopen(path.c_str(), "wb");
  const unsigned char header[44] = {'R', 'I', 'F', 'F', 36 + 100, 0, 0, 0, 'W', 'A', 'V', 'E',
                                    'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                    0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0,
                                    'd', 'a', 't', 'a', 100, 0, 0, 0};
  fwrite(header, 1, sizeof header, f);
  for (int i = 0; i < 100; ++i) fputc(i % 2 ? 200 : 56, f);
  fclose(f);
  SoundEntry* e = gAudio.LoadSound(path.c_str());
  ASSERT_NE(e, nullptr);
  EXPECT_NE(gAudio.Play(e, 1.0f), nullptr);
  EXPECT_EQ(gAudio.soundCount, 2);
}

TEST_F(AudioTest, HundredLoopingPlaysFillThePoolUntilStopAll) {
  SoundEntry* e = gAudio.LoadSound(TestSineWav("loop.wav", 0.05).c_str());
  ASSERT_NE(e, nullptr);
  for (int i = 0; i < 100; ++i) {
    ChannelSlot* slot = gAudio.Play(e, 1.0f);
    ASSERT_NE(slot, nullptr) << "play " << i;
    slot->SetLooping(true);
  }
  EXPECT_EQ(gAudio.Play(e, 1.0f), nullptr);
  usleep(200000);  // four passes of the sound: looping slots never come back by themselves
  gAudio.Update();
  EXPECT_EQ(gAudio.busySlots.size(), 100u);
  EXPECT_EQ(gAudio.Play(e, 1.0f), nullptr);

  ChannelSlot* first = gAudio.busySlots.front();
  gAudio.StopAll();
  EXPECT_FALSE(SndChannelIsPlaying(first->channel));
  EXPECT_EQ(gAudio.freeSlots.size(), 100u);
  EXPECT_NE(gAudio.Play(e, 1.0f), nullptr);
}

TEST_F(AudioTest, OnceThroughSlotIsFreeAtTheFirstUpdateAfterItEnds) {
  SoundEntry* e = gAudio.LoadSound(TestSineWav("blip.wav", 0.5).c_str());
  ChannelSlot* slot = gAudio.Play(e, 1.0f);
  ASSERT_NE(slot, nullptr);
  EXPECT_FALSE(slot->paused);
  EXPECT_FALSE(slot->looping);
  gAudio.Update();
  EXPECT_TRUE(Contains(gAudio.busySlots, slot));  // still playing

  ASSERT_TRUE(WaitUntilSilent(slot, 3.0));
  EXPECT_TRUE(Contains(gAudio.busySlots, slot));  // nothing moves without an Update
  gAudio.Update();
  EXPECT_FALSE(Contains(gAudio.busySlots, slot));
  EXPECT_EQ(gAudio.freeSlots.back(), slot);

  // An ended sound stays ended when a screen keeps unpausing its old handle every frame.
  slot->SetPaused(false);
  EXPECT_FALSE(SndChannelIsPlaying(slot->channel));
}

TEST_F(AudioTest, VolumesAreClampedAndAChannelStartsAtItsVolume) {
  SoundEntry* e = gAudio.LoadSound(TestSineWav("vol.wav", 1.0).c_str());
  ChannelSlot* slot = gAudio.Play(e, 0.0f);
  ASSERT_NE(slot, nullptr);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(slot->channel), 0.0f);  // silent from its first sample
  slot->SetVolume(1.7f);
  EXPECT_FLOAT_EQ(slot->volume, 1.0f);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(slot->channel), 1.0f);
  slot->SetVolume(-0.2f);
  EXPECT_FLOAT_EQ(slot->volume, 0.0f);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(slot->channel), 0.0f);
  slot->SetVolume(0.3f);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(slot->channel), 0.3f);

  ChannelSlot* loud = gAudio.Play(e, 1.7f);
  EXPECT_FLOAT_EQ(loud->volume, 1.0f);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(loud->channel), 1.0f);
}

TEST_F(AudioTest, PauseHoldsAChannelAndResumesIt) {
  SoundEntry* e = gAudio.LoadSound(TestSineWav("pause.wav", 0.5).c_str());
  ChannelSlot* slot = gAudio.Play(e, 1.0f);
  slot->SetPaused(true);
  EXPECT_TRUE(slot->paused);
  usleep(700000);  // longer than the sound: a paused channel does not run out
  gAudio.Update();
  EXPECT_TRUE(SndChannelIsPaused(slot->channel));
  EXPECT_TRUE(Contains(gAudio.busySlots, slot));
  slot->SetPaused(false);
  EXPECT_FALSE(SndChannelIsPaused(slot->channel));
  EXPECT_TRUE(WaitUntilSilent(slot, 3.0));
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
  gSettingsAudio.Update();
  EXPECT_FALSE(SndChannelIsPlaying(settings->channel));
  EXPECT_TRUE(SndChannelIsPaused(battle->channel));
  gAudio.Update();
  EXPECT_TRUE(Contains(gAudio.busySlots, battle));

  // Each instance has its own cache: freeing the settings' copy leaves the battle's playing.
  gSettingsAudio.FreeSound(gSettingsAudio.LoadSound(path.c_str()));
  battle->SetPaused(false);
  EXPECT_TRUE(SndChannelIsPlaying(battle->channel));
  EXPECT_EQ(gAudio.soundCount, 1);
}

TEST_F(AudioTest, FreeingASoundThatStillPlaysStopsItsChannels) {
  SoundEntry* music = gAudio.LoadSound(TestSineWav("menu.wav", 0.2).c_str());
  SoundEntry* other = gAudio.LoadSound(TestSineWav("other.wav", 0.2).c_str());
  ChannelSlot* a = gAudio.Play(music, 1.0f);
  ChannelSlot* b = gAudio.Play(music, 1.0f);
  ChannelSlot* c = gAudio.Play(other, 1.0f);
  a->SetLooping(true);
  c->SetLooping(true);
  gAudio.FreeSound(music);  // the main menu frees its sounds before it stops them
  EXPECT_FALSE(SndChannelIsPlaying(a->channel));
  EXPECT_FALSE(SndChannelIsPlaying(b->channel));
  EXPECT_TRUE(SndChannelIsPlaying(c->channel));
  gAudio.Update();
  EXPECT_EQ(gAudio.busySlots.size(), 1u);
  // The freed slots play the next sound normally.
  ChannelSlot* next = gAudio.Play(other, 1.0f);
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(SndChannelIsPlaying(next->channel));
}

TEST_F(AudioTest, FourInstancesGetTheirHundredVoicesEach) {
  AudioSystem* all[] = {&gAudio, &gHowToPlayAudio, &gCreditsAudio, &gSettingsAudio};
  for (int i = 1; i < 4; ++i) ASSERT_TRUE(all[i]->Init());
  std::string path = TestSineWav("voice.wav", 0.2);
  for (AudioSystem* a : all) {
    SoundEntry* e = a->LoadSound(path.c_str());
    for (int i = 0; i < 100; ++i) {
      ChannelSlot* slot = a->Play(e, 0.1f);
      ASSERT_TRUE(slot && slot->channel) << "voice " << i;
      slot->SetLooping(true);
    }
  }
  for (AudioSystem* a : all) EXPECT_TRUE(SndChannelIsPlaying(a->busySlots.front()->channel));
  gHowToPlayAudio.Shutdown();
  gCreditsAudio.Shutdown();
  EXPECT_TRUE(SndChannelIsPlaying(gAudio.busySlots.back()->channel));
}

TEST_F(AudioTest, ShutdownStopsEverythingAndKeepsHandlesHarmless) {
  SoundEntry* e = gAudio.LoadSound(TestSineWav("left.wav", 0.2).c_str());
  gAudio.LoadSound(TestSineWav("left2.wav", 0.2).c_str());
  ChannelSlot* slot = gAudio.Play(e, 1.0f);
  slot->SetLooping(true);
  gAudio.Shutdown();  // sounds still loaded are freed here (the leak checker watches)
  EXPECT_FALSE(gAudio.IsOn());
  EXPECT_EQ(gAudio.soundCount, 0);
  EXPECT_EQ(slot->channel, nullptr);
  slot->SetVolume(0.5f);
  slot->SetPaused(false);
  EXPECT_EQ(gAudio.LoadSound(TestSineWav("late.wav", 0.1).c_str()), nullptr);
  gAudio.Update();
  gAudio.StopAll();
}

// A fresh process without any usable device: start-up goes on silent and says so once.
TEST(AudioNoDeviceTest, GameStartsSilentAndSaysSoOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto run = [] {
    setenv("ALSOFT_DRIVERS", "no-such-backend", 1);
    std::string log = TestTempPath("stderr.txt");
    if (!freopen(log.c_str(), "w", stderr)) _exit(100);
    bool started = GameStart();
    bool harmless = !gAudio.IsOn() && !gSettingsAudio.IsOn() &&
                    gAudio.LoadSound(TestSineWav("x.wav", 0.1).c_str()) == nullptr &&
                    gAudio.Play(nullptr, 1.0f) == nullptr;
    gAudio.Update();
    gAudio.StopAll();
    fflush(stderr);
    FILE* f = fopen(log.c_str(), "r");
    int lines = 0;
    char line[512];
    while (f && fgets(line, sizeof line, f))
      if (strncmp(line, "[audio]", 7) == 0 && strstr(line, "without sound")) ++lines;
    // Skip the exit handlers: the window and renderer of this child are not torn down.
    _exit(started && harmless ? lines : 100 + lines);
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(1), "");
}

}  // namespace
