// The real game on a bad data folder (none at all; pictures, sounds or the font corrupt, cut,
// missing, odd or folders): it starts, is played into a battle, through Settings and a round,
// and quits with nothing left behind and no message box.

#include <filesystem>

#include "hp.h"
#include "kegraphics.h"

namespace {

// A well-formed PCM WAV file of any shape.
bool OddWav(const char* path, int channels, int rate, int bits, uint32_t frames) {
  return HpWav(path, channels, rate, bits, frames, [](uint32_t) { return 0x5555; });
}

// Each folder: its damage and what the battle shows of it.
const struct { const char* name; bool withData; bool (*damage)(); void (*check)(); } kFolders[] = {
    {"no data folder", false, [] { return true; },
     [] {
       EXPECT_EQ(BoardTexture("WoodenBG"), nullptr);
       EXPECT_EQ(BoardFont(), nullptr);
       EXPECT_EQ(GfxTextureLiveCount(), 0);
       // The board is still drawn: its background as a plain white shape.
       HpCapture(true);
       HpStep(1);
       EXPECT_EQ(HpPixel(HpFrameWidth() / 2, HpFrameHeight() / 2), 0xFFFFFFFFu);
       HpCapture(false);
     }},
    {"corrupt and cut pictures", true,
     [] {
       return HpGarbage("data/WoodenBG.png") && HpTruncate("data/knighttroop.png", 200) &&
              HpTruncate("data/Logo.png", 8) && HpGarbage("data/SelectionBook.png") &&
              HpTruncate("data/VolumeSquare.png", 100) && HpTruncate("data/Energy.png", 0);
     },
     [] {
       EXPECT_EQ(BoardTexture("WoodenBG"), nullptr);
       EXPECT_EQ(BoardTexture("knighttroop"), nullptr);
       EXPECT_NE(BoardTexture("lanes"), nullptr);
     }},
    {"corrupt, cut, missing and odd sounds", true,
     [] {
       return HpGarbage("data/Sound/Rally.wav") && HpTruncate("data/Sound/Pause.wav", 60) &&
              HpTruncate("data/Sound/HollowPikes.wav", 20) &&
              HpRemove("data/Sound/GoalReached.wav") && HpGarbage("data/Sound/Vic1.wav") &&
              OddWav("data/Sound/BoostBrass.wav", 1, 22050, 16, 0) &&
              OddWav("data/Sound/FrostChime.wav", 6, 96000, 8, 1000) &&
              OddWav("data/Sound/Explosion.wav", 2, 1, 16, 10);
     },
     [] { EXPECT_NE(BoardTexture("WoodenBG"), nullptr); }},
    {"corrupt font", true, [] { return HpGarbage("data/font.ttf"); },
     [] { EXPECT_EQ(BoardFont(), nullptr); }},
    {"cut font", true, [] { return HpTruncate("data/font.ttf", 4000); },
     [] { EXPECT_EQ(BoardFont(), nullptr); }},
    {"folders in place of files", true,
     [] {
       for (const char* p : {"data/font.ttf", "data/WoodenBG.png", "data/Sound/Rally.wav"})
         if (!HpRemove(p) || !std::filesystem::create_directory(p)) return false;
       return true;
     },
     [] {
       EXPECT_EQ(BoardFont(), nullptr);
       EXPECT_EQ(BoardTexture("WoodenBG"), nullptr);
     }},
};

TEST(BadInput, EveryDamagedFolderPlaysARoundAndQuitsClean) {
  if (!getenv("ALSOFT_DRIVERS")) HpSetEnv("ALSOFT_DRIVERS", "null");
  for (const auto& f : kFolders) {
    SCOPED_TRACE(f.name);
    ASSERT_TRUE(HpFolderEnter(f.withData));
    ASSERT_TRUE(f.damage());
    HpPlayMatchRound(f.check);
    HpFolderLeave();
  }
}

}  // namespace
