// AudioSystem heard through OpenAL Soft's wave backend, which writes the mix to a file in real
// time: muted or lowered sounds are so from their first sample, and a loop sounds until StopAll.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "framework/audio.h"
#include "hpaudio.h"
#include "screens/screen.h"

namespace {

TEST(AudioMixTest, MutedIsSilentLoweredIsQuieterAndALoopSoundsUntilStopAll) {
  std::string mixPath = TestTempPath("mix.wav");
  TestUseWaveBackend(mixPath);
  std::string tone = TestSineWav("tone.wav", 0.1);
  auto t0 = std::chrono::steady_clock::now();
  auto since = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(); };
  ASSERT_TRUE(gAudio.Init());  // the mix starts now
  SoundEntry* e = gAudio.LoadSound(tone.c_str());
  // No frame sets the volumes meanwhile: the start volume alone must hold.
  muted = true;
  double mutedAt = since();
  gAudio.Play(e, ScreenSoundVolume())->SetLooping(true);
  usleep(500000);
  muted = false;
  double fullAt = since();
  gAudio.Play(e, ScreenMusicVolume())->SetLooping(true);
  usleep(700000);  // seven passes
  musicVolume = 0.2f;
  gAudio.StopAll();
  double lowAt = since();
  gAudio.Play(e, ScreenMusicVolume())->SetLooping(true);
  usleep(500000);
  gAudio.StopAll();
  double stopAt = since();
  usleep(400000);
  gAudio.Shutdown();  // completes the file
  musicVolume = 1.0f;

  TestMix mix;
  ASSERT_TRUE(TestReadMix(mixPath, &mix));
  ASSERT_GT(mix.Seconds(), stopAt + 0.3);
  // The mixer runs up to a period behind the clock: windows keep 0.1 s from the edges.
  EXPECT_LT(mix.Rms(mutedAt + 0.1, fullAt - 0.1), 1e-4);
  double full = mix.Rms(fullAt + 0.5, lowAt - 0.1);  // the sixth and seventh passes
  EXPECT_GT(full, 0.1);                              // a half-scale sine
  EXPECT_NEAR(mix.Rms(lowAt + 0.1, stopAt - 0.1) / full, 0.2, 0.03);
  EXPECT_LT(mix.Rms(stopAt + 0.1, mix.Seconds()), 1e-4);
}

}  // namespace
