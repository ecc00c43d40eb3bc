// test_sound.cpp - the sound layer heard through OpenAL Soft's wave backend, which writes the mix
// to a file in real time: the cache, the slot pool, volume clamps, mute and loops.
#include <unistd.h>

#include <chrono>

#include "hp.h"
#include "kesound.h"

namespace {

TEST(SoundTest, CachePoolClampsMuteAndLoopsAsHeard) {
  std::string mixPath = HpTempPath("mix.wav");
  HpUseWaveBackend(mixPath);
  auto t0 = std::chrono::steady_clock::now();
  auto now = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  };
  ASSERT_TRUE(gAudio.Init());  // the mix starts now
  std::string tone = HpSineWav("tone.wav", 0.1);
  SoundEntry* e = gAudio.LoadSound(tone.c_str());
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(gAudio.LoadSound(tone.c_str()), e);
  EXPECT_EQ(gAudio.LoadSound("data/Sound/NoSuchSound.wav"), nullptr);
  EXPECT_EQ(gAudio.Play(nullptr, 1.0f), nullptr);

  // Volumes stay within 0..1 however they are given.
  EXPECT_FLOAT_EQ(SndChannelGetVolume(gAudio.Play(e, 1.7f)->channel), 1.0f);
  ChannelSlot* slot = gAudio.Play(e, 0.5f);
  slot->SetVolume(2.5f);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(slot->channel), 1.0f);
  slot->SetVolume(-0.2f);
  EXPECT_FLOAT_EQ(SndChannelGetVolume(slot->channel), 0.0f);
  gAudio.StopAll();

  // A hundred loops fill the pool; stopping gives every slot back.
  for (int i = 0; i < 100; ++i) {
    ChannelSlot* s = gAudio.Play(e, 0.0f);
    ASSERT_NE(s, nullptr) << "play " << i;
    s->SetLooping(true);
  }
  gAudio.Update();
  EXPECT_EQ(gAudio.Play(e, 1.0f), nullptr);
  gAudio.StopAll();
  EXPECT_EQ(gAudio.freeSlots.size(), 100u);

  // Muted from the first sample with no frame in between, then heard, then quieter, then gone
  // once its sound is freed: a loop keeps sounding until then.
  muted = true;
  double mutedAt = now();
  gAudio.Play(e, ScreenSoundVolume())->SetLooping(true);
  gAudio.Play(e, ScreenMusicVolume())->SetLooping(true);
  usleep(500000);
  gAudio.StopAll();
  muted = false;
  double fullAt = now();
  gAudio.Play(e, ScreenSoundVolume())->SetLooping(true);
  usleep(700000);  // seven passes of the tone
  soundVolume = 0.2f;
  gAudio.StopAll();
  double lowAt = now();
  gAudio.Play(e, ScreenSoundVolume())->SetLooping(true);
  usleep(500000);
  gAudio.FreeSound(e);  // stops what still plays it first
  double stopAt = now();
  usleep(400000);
  double endAt = now();
  gAudio.Shutdown();  // completes the file
  soundVolume = 1.0f;

  HpMix mix;
  ASSERT_TRUE(HpReadMix(mixPath, &mix));
  // The mix starts after the clock and falls behind it on a busy machine: the clock's times are
  // moved by what the file lacks at the end, and windows keep 0.1 s from the edges.
  double lag = endAt - mix.Seconds();
  auto rms = [&](double from, double to) { return mix.Rms(from - lag + 0.1, to - lag - 0.1); };
  EXPECT_LT(rms(mutedAt, fullAt), 1e-4);
  double full = rms(fullAt + 0.4, lowAt);  // the last passes of the loop
  EXPECT_GT(full, 0.1);
  EXPECT_NEAR(rms(lowAt, stopAt) / full, 0.2, 0.03);
  EXPECT_LT(rms(stopAt, endAt), 1e-4);
}

}  // namespace
