// test_sound.cpp - the sound layer heard through OpenAL Soft's wave backend, which writes the mix
// to a file as it goes: the cache, the slot pool, volume clamps, mute and loops.
#include "hp.h"
#include "kesound.h"

namespace {

TEST(SoundTest, CachePoolClampsMuteAndLoopsAsHeard) {
  std::string mixPath = HpTempPath("mix.wav");
  HpUseWaveBackend(mixPath);
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
  // once its sound is freed: a loop keeps sounding until then. Each stretch is read from the mix
  // clock before its first action to the clock before the next stretch's.
  muted = true;
  double mutedFrom = HpMixClock();
  gAudio.Play(e, ScreenSoundVolume())->SetLooping(true);
  gAudio.Play(e, ScreenMusicVolume())->SetLooping(true);
  HpMixFor(0.5);
  double fullFrom = HpMixClock();
  gAudio.StopAll();
  muted = false;
  gAudio.Play(e, ScreenSoundVolume())->SetLooping(true);
  HpMixFor(0.7);  // seven passes of the tone
  double lowFrom = HpMixClock();
  soundVolume = 0.2f;
  gAudio.StopAll();
  gAudio.Play(e, ScreenSoundVolume())->SetLooping(true);
  HpMixFor(0.5);
  double stopFrom = HpMixClock();
  gAudio.FreeSound(e);  // stops what still plays it first
  HpMixFor(0.4);
  double end = HpMixClock();
  gAudio.Shutdown();  // completes the file
  soundVolume = 1.0f;

  HpMix mix;
  ASSERT_TRUE(HpReadMix(mixPath, &mix));
  ASSERT_GE(mix.Seconds(), end);
  const double settle = 0.1;  // for the action's mixing period to pass
  EXPECT_LT(mix.Rms(mutedFrom, fullFrom), 1e-4);
  double full = mix.Rms(fullFrom + settle, lowFrom);
  EXPECT_GT(full, 0.1);
  EXPECT_NEAR(mix.Rms(lowFrom + settle, stopFrom) / full, 0.2, 0.03);
  EXPECT_LT(mix.Rms(stopFrom + settle, end), 1e-4);
}

}  // namespace
