// The real game run on a bad data folder: none at all, a corrupt or cut picture, a corrupt or
// missing sound, a corrupt or missing font. Each time it starts, is played with keys into a
// battle, shows Settings over it and comes back, plays a round to its end and the next round
// starts with the health it should have; then it quits with nothing left behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "battle/battle.h"
#include "hpaudio.h"
#include "hpplay.h"
#include "hptest.h"
#include "kegraphics.h"
#include "battle/board.h"

namespace {

class BadInputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { TestUseNullBackend(); }
  void TearDown() override { PlayLeaveFolder(); }
};

TEST_F(BadInputTest, NoDataFolderAtAll) {
  ASSERT_TRUE(PlayEnterFolder(false));
  PlayMatchRound([] {
    EXPECT_EQ(BoardTexture("WoodenBG"), nullptr);
    EXPECT_EQ(BoardTexture("knighttroop"), nullptr);
    EXPECT_EQ(BoardFont(), nullptr);
    EXPECT_EQ(GfxTextureLiveCount(), 0);
    // The board is still drawn: its background as a plain white shape.
    TestCaptureFrames(true);
    TestStep(1);
    TestSaveFrame("/tmp/bad-input-no-data.png");
    EXPECT_EQ(TestPixel(TestFrameWidth() / 2, TestFrameHeight() / 2), 0xFFFFFFFFu);
    TestCaptureFrames(false);
  });
}

TEST_F(BadInputTest, CorruptAndCutPictures) {
  ASSERT_TRUE(PlayEnterFolder(true));
  ASSERT_TRUE(PlayGarbage("data/WoodenBG.png"));
  ASSERT_TRUE(PlayTruncate("data/knighttroop.png", 200));  // the header and a little more
  ASSERT_TRUE(PlayTruncate("data/Logo.png", 8));
  ASSERT_TRUE(PlayGarbage("data/SelectionBook.png"));
  ASSERT_TRUE(PlayTruncate("data/VolumeSquare.png", 100));
  ASSERT_TRUE(PlayTruncate("data/Energy.png", 0));
  PlayMatchRound([] {
    EXPECT_EQ(BoardTexture("WoodenBG"), nullptr);
    EXPECT_EQ(BoardTexture("knighttroop"), nullptr);
    EXPECT_NE(BoardTexture("lanes"), nullptr);
    EXPECT_NE(BoardFont(), nullptr);
  });
}

TEST_F(BadInputTest, CorruptCutAndMissingSounds) {
  ASSERT_TRUE(PlayEnterFolder(true));
  ASSERT_TRUE(PlayGarbage("data/Sound/Rally.wav"));
  ASSERT_TRUE(PlayTruncate("data/Sound/Pause.wav", 60));        // a few samples are left
  ASSERT_TRUE(PlayTruncate("data/Sound/HollowPikes.wav", 20));  // the header is cut
  ASSERT_TRUE(PlayRemove("data/Sound/GoalReached.wav"));
  ASSERT_TRUE(PlayRemove("data/Sound/WoodSelect.wav"));
  ASSERT_TRUE(PlayGarbage("data/Sound/Vic1.wav"));
  ASSERT_TRUE(PlayTruncate("data/Sound/Vic2.wav", 0));
  // Well-formed but odd: no samples at all, six channels of 8 bits, a rate of 1 Hz.
  ASSERT_TRUE(PlayWriteWav("data/Sound/BoostBrass.wav", 1, 22050, 16, 0));
  ASSERT_TRUE(PlayWriteWav("data/Sound/FrostChime.wav", 6, 96000, 8, 6000));
  ASSERT_TRUE(PlayWriteWav("data/Sound/Explosion.wav", 2, 1, 16, 40));
  PlayMatchRound([] { EXPECT_NE(BoardTexture("WoodenBG"), nullptr); });
}

TEST_F(BadInputTest, CorruptFont) {
  ASSERT_TRUE(PlayEnterFolder(true));
  ASSERT_TRUE(PlayGarbage("data/font.ttf"));
  PlayMatchRound([] {
    EXPECT_EQ(BoardFont(), nullptr);
    EXPECT_NE(BoardTexture("WoodenBG"), nullptr);
  });
}

TEST_F(BadInputTest, CutFont) {
  ASSERT_TRUE(PlayEnterFolder(true));
  ASSERT_TRUE(PlayTruncate("data/font.ttf", 4000));  // the table directory points past the end
  PlayMatchRound([] { EXPECT_EQ(BoardFont(), nullptr); });
}

TEST_F(BadInputTest, MissingFont) {
  ASSERT_TRUE(PlayEnterFolder(true));
  ASSERT_TRUE(PlayRemove("data/font.ttf"));
  PlayMatchRound([] { EXPECT_EQ(BoardFont(), nullptr); });
}

// Folders where files should be: a picture, a sound and the font.
TEST_F(BadInputTest, FoldersInPlaceOfFiles) {
  ASSERT_TRUE(PlayEnterFolder(true));
  for (const char* path : {"data/font.ttf", "data/WoodenBG.png", "data/Sound/Rally.wav"}) {
    ASSERT_TRUE(PlayRemove(path));
    ASSERT_TRUE(std::filesystem::create_directory(path));
  }
  PlayMatchRound([] {
    EXPECT_EQ(BoardFont(), nullptr);
    EXPECT_EQ(BoardTexture("WoodenBG"), nullptr);
  });
}

}  // namespace
