// AudioSystem heard through OpenAL Soft's wave backend, which writes the mix to a file in real
// time: what plays is in the mix, muted or lowered sounds are so from their first sample, and a
// looping sound keeps sounding until StopAll.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "framework/audio.h"
#include "hpaudio.h"
#include "screens/screen.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string& MixPath() {
  static std::string path = TestTempPath("mix.wav");
  return path;
}

double Since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

class AudioMixTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TestUseWaveBackend(MixPath()); }
  void SetUp() override {
    muted = false;
    musicVolume = soundVolume = 1.0f;
  }
  void TearDown() override {
    muted = false;
    musicVolume = soundVolume = 1.0f;
  }
  // Opens the device (the mix starts now), and returns the time the mix starts from.
  Clock::time_point Open() {
    EXPECT_TRUE(gAudio.Init());
    return Clock::now();
  }
  // Closing the device completes the file.
  TestMix Close() {
    gAudio.Shutdown();
    TestMix mix;
    EXPECT_TRUE(TestReadMix(MixPath(), &mix));
    return mix;
  }
};

TEST_F(AudioMixTest, PlayedSoundIsInTheMixAndAMutedOneIsNot) {
  std::string tone = TestSineWav("tone.wav", 0.3);

  Clock::time_point t0 = Open();
  muted = true;
  ASSERT_NE(gAudio.Play(gAudio.LoadSound(tone.c_str()), ScreenSoundVolume()), nullptr);
  usleep(500000);  // no frame sets the volume meanwhile: the start volume alone must hold
  TestMix silent = Close();
  EXPECT_GT(silent.Seconds(), 0.3);
  EXPECT_LT(silent.Rms(0, silent.Seconds()), 1e-4);

  t0 = Open();
  muted = false;
  SoundEntry* e = gAudio.LoadSound(tone.c_str());
  usleep(300000);  // a quiet lead-in
  double start = Since(t0);
  ASSERT_NE(gAudio.Play(e, ScreenSoundVolume()), nullptr);
  usleep(500000);
  TestMix heard = Close();
  // The mixer runs up to a period behind the clock: windows keep 0.1 s from the edges.
  EXPECT_GT(heard.Rms(start + 0.05, start + 0.2), 0.1);  // a half-scale sine
  EXPECT_LT(heard.Rms(0, start - 0.1), 1e-4);
  EXPECT_LT(heard.Rms(start + 0.4, heard.Seconds()), 1e-4);  // once through, then quiet
}

TEST_F(AudioMixTest, LoweredVolumeHoldsFromTheFirstSample) {
  std::string tone = TestSineWav("tone2.wav", 0.3);
  Clock::time_point t0 = Open();
  double fullStart = Since(t0);
  gAudio.Play(gAudio.LoadSound(tone.c_str()), ScreenMusicVolume());
  usleep(400000);
  musicVolume = 0.2f;
  double lowStart = Since(t0);
  gAudio.Play(gAudio.LoadSound(tone.c_str()), ScreenMusicVolume());
  usleep(400000);
  TestMix mix = Close();
  double full = mix.Rms(fullStart + 0.05, fullStart + 0.2);
  double low = mix.Rms(lowStart + 0.05, lowStart + 0.2);
  ASSERT_GT(full, 0.05);
  EXPECT_NEAR(low / full, 0.2, 0.03);
}

TEST_F(AudioMixTest, LoopingSoundSoundsAfterSeveralPassesAndStopsWithStopAll) {
  std::string tone = TestSineWav("loop.wav", 0.1);
  Clock::time_point t0 = Open();
  double start = Since(t0);
  ChannelSlot* slot = gAudio.Play(gAudio.LoadSound(tone.c_str()), 1.0f);
  ASSERT_NE(slot, nullptr);
  slot->SetLooping(true);
  usleep(700000);  // seven passes
  gAudio.Update();
  double stop = Since(t0);
  gAudio.StopAll();
  usleep(400000);
  TestMix mix = Close();
  ASSERT_GT(mix.Seconds(), stop + 0.3);
  EXPECT_GT(mix.Rms(start + 0.4, stop - 0.1), 0.1);  // the fifth and sixth passes
  EXPECT_LT(mix.Rms(stop + 0.1, mix.Seconds()), 1e-4);
}

}  // namespace
