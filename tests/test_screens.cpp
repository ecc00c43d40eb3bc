// The screens around the battle on the real game: main menu, hero and spell selection, results,
// credits, how to play and settings, alone and over a paused battle; each loads all it asks for.

#include <cstring>
#include <set>

#include "framework/gameobject.h"
#include "framework/quad.h"
#include "hp.h"
#include "kegraphics.h"
#include "keos.h"
#include "kesound.h"
#include "kesystem.h"
#include "screens/book.h"
#include "screens/heroselect.h"
#include "screens/howtoplay.h"
#include "screens/mainmenu.h"
#include "screens/roundover.h"
#include "screens/spellselect.h"

namespace {

// Every case fails on a picture, sound or font that did not load (the loaders' tagged lines).
class Screens : public ::testing::Test {
 protected:
  void SetUp() override { testing::internal::CaptureStderr(); }
  void TearDown() override {
    Stop();
    std::string log = "\n" + testing::internal::GetCapturedStderr();
    for (const char* tag : {"\n[gfx]", "\n[audio]", "\n[battle]"})
      EXPECT_EQ(log.find(tag), std::string::npos) << log;
    EXPECT_TRUE(HpBoxes().empty()) << HpBoxes()[0].text;
  }
  bool Start(GameStateId first, int w = 320, int h = 240) {
    started_ = HpStart(first, w, h);
    return started_ && HpStep(1);
  }
  void Stop() { if (started_) HpStop(), started_ = false; }
  bool started_ = false;
};

uint64_t FrameHash() {
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < HpFrameHeight(); y += 3)
    for (int x = 0; x < HpFrameWidth(); x += 3) h = (h ^ HpPixel(x, y)) * 1099511628211ull;
  return h;
}

std::vector<float> Heights(GameStateId id) {
  std::vector<float> ys;
  for (GameObject* o : ObjectListOf(id)->objects) ys.push_back(o->position.y);
  return ys;
}

TEST_F(Screens, MainMenuSkipsTheLogosWrapsTheArrowAndAsksBeforeQuitting) {
  gMatch.heroHealth[0] = 0;  // a match left half-way
  MainMenuReplayLogos();
  ASSERT_TRUE(Start(GS_MainMenu, 800, 600));  // the whole board at scale 1
  HpCapture(true);
  HpStep(30);
  EXPECT_FALSE(MainMenuStartUnderArrow()) << "no logos";
  HpPress(VK_SPACE);
  ASSERT_TRUE(MainMenuStartUnderArrow()) << "Space did not skip the logos";
  EXPECT_EQ(gMatch.heroHealth[0], 3) << "the menu starts every match fresh";
  EXPECT_EQ(GsmGetCurrentState(), GS_MainMenu) << "the skip also chose an entry";
  HpPress({VK_UP, VK_DOWN});  // wraps onto "Quit" and back
  EXPECT_TRUE(MainMenuStartUnderArrow()) << "Down at Quit goes back to Start game";
  HpPress({VK_UP, VK_RETURN});  // "Quit" only asks
  EXPECT_GT(HpCountPixels(-80, -50, 110, -10, 0xFFFFFF), 200) << "\"Quit game?\" is not drawn";
  EXPECT_EQ(HpCountPixels(-90, 0, 110, 40, 0xFFFFFF), 0) << "the entries show through";
  HpPress({VK_RIGHT, VK_RETURN});  // "No"
  EXPECT_GT(HpCountPixels(-90, 0, 110, 40, 0xFFFFFF), 200) << "\"No\" left the question open";
  HpPress({VK_RETURN, VK_LEFT});  // "Yes"
  HpKeyDown(VK_RETURN);
  EXPECT_TRUE(HpStep(1));
  EXPECT_EQ(GsmGetNextState(), GS_Quit);
  EXPECT_FALSE(HpStep(1));
  HpKeyUp(VK_RETURN);
}

TEST_F(Screens, PlayerOneChoosesFirstEachTakesTwoDifferentSpellsAndTheMusicPlaysThrough) {
  ASSERT_TRUE(Start(GS_HeroSelect));
  ChannelSlot* music = BookMusicChannel();
  ASSERT_NE(music, nullptr);
  EXPECT_EQ(HeroSelectChooser(), 0);
  for (int key : {(int)VK_DOWN, (int)'D'}) HpPress(key);  // player 2 waits for the turn
  EXPECT_TRUE(gMatch.hero[0] == Hero_Mage && gMatch.hero[1] == Hero_Knight);
  HpPress(VK_SPACE);
  EXPECT_EQ(HeroSelectChooser(), 1);
  for (int key : {(int)'S', (int)VK_DOWN}) HpPress(key);  // player 1 is done
  EXPECT_TRUE(gMatch.hero[0] == Hero_Mage && gMatch.hero[1] == Hero_Orc);
  HpPress(VK_SPACE);
  ASSERT_EQ(GsmGetCurrentState(), GS_SpellSelect);
  EXPECT_EQ(BookMusicChannel(), music);
  EXPECT_TRUE(SndChannelIsPlaying(music->channel)) << "the music stopped between the screens";

  for (int player = 0; player < 2; ++player) {
    SCOPED_TRACE(player);
    EXPECT_EQ(SpellSelectChooser(), player);
    for (int i = 0; i < 2; ++i) HpPress(VK_SPACE);  // the second starts on the first: refused
    EXPECT_EQ(SpellSelectChooser(), player);
    EXPECT_EQ(SpellSelectSlot(), 1);
    HpPress(player ? (int)VK_RIGHT : 'D');
    HpPress(VK_SPACE);
    for (SpellId spell : gMatch.spells[player]) EXPECT_TRUE(MatchIsChosenSpell(spell));
    EXPECT_NE(gMatch.spells[player][0], gMatch.spells[player][1]);
  }
  EXPECT_EQ(GsmGetCurrentState(), GS_Battle);
  EXPECT_EQ(BookMusicChannel(), nullptr) << "the selection music plays on in battle";
}

TEST_F(Screens, ResultsShowTheirBannerForThreeSecondsThenTheNextRoundOrTheMenu) {
  struct Case {
    RoundResult winner;
    int health1, health2;
    const char* banner;  // null: nothing at all for a result that is none of the three
    GameStateId next;
  } cases[] = {
      {Round_Draw, 2, 3, "data/RoundOverDraw.png", GS_Battle},
      {Round_P2Won, 2, 2, "data/RoundOverP2.png", GS_Battle},
      {Round_P1Won, 2, 0, "data/MatchOverP1.png", GS_MainMenu},
      {Round_P2Won, 0, 1, "data/MatchOverP2.png", GS_MainMenu},
      {(RoundResult)7, 2, 2, nullptr, GS_Battle},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.banner ? c.banner : "no result");
    gMatch = {{Hero_Mage, Hero_Orc}, {{Spell_Wind, Spell_Stun}, {Spell_Meteor, Spell_Execute}},
              {c.health1, c.health2}, c.winner};
    ASSERT_TRUE(Start(GS_RoundOver, 160, 120));
    const std::vector<GameObject*>& shown = ObjectListOf(GS_RoundOver)->objects;
    size_t banners = 0;  // with a result, its banner once; else nothing at all
    for (GameObject* o : shown)
      banners += c.banner && o->texture && !strcmp(o->texture->name, c.banner);
    EXPECT_EQ(c.banner ? banners : shown.size(), c.banner ? 1u : 0u);
    EXPECT_EQ(RoundOverJingle() != nullptr, c.banner && c.winner != Round_Draw);
    ScreenFullscreenFlag(GS_MainMenu) = false;  // small frames for the menu as well
    EXPECT_NEAR((1 + HpFramesWhileIn(GS_RoundOver, 400)) / 60.0, 3.0, 0.2) << "seconds shown";
    EXPECT_EQ(GsmGetCurrentState(), c.next);
    bool match = c.next == GS_MainMenu;
    EXPECT_EQ(gMatch.heroHealth[0], match ? 3 : c.health1);
    EXPECT_EQ(gMatch.heroHealth[1], match ? 3 : c.health2);
    Stop();
  }
}

TEST_F(Screens, CreditsScrollHowToPlayTurnsAndEachScreenFreesAllItLoaded) {
  ASSERT_TRUE(Start(GS_Credits, 160, 120));
  std::vector<float> start = Heights(GS_Credits);
  HpStep(90);
  EXPECT_EQ(Heights(GS_Credits), start) << "the first visit waits a moment";
  HpStep(60);
  EXPECT_NE(Heights(GS_Credits), start) << "the credits do not scroll";
  HpKeyDown(VK_SPACE);  // ten times as fast, then back to the menu by themselves
  int frames = HpFramesWhileIn(GS_Credits, 2000);
  HpKeyUp(VK_SPACE);
  EXPECT_TRUE(frames > 200 && frames < 700) << frames << " frames";
  ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);

  int pad2 = HpPadAttach() + 1;  // the second of two
  ASSERT_EQ(HpPadAttach(), pad2);
  GsmSetNextState(GS_HowToPlay);
  ASSERT_TRUE(HpStepUntil(GS_HowToPlay, 3));
  HpCapture(true);
  HpPress(VK_LEFT);  // no page before the first
  EXPECT_EQ(HowToPlayPage(), 0);
  std::set<uint64_t> looks = {FrameHash()};
  for (int page = 1; page < kHowToPlayPages; ++page) {
    HpPress(VK_RIGHT);
    EXPECT_EQ(HowToPlayPage(), page);
    looks.insert(FrameHash());
  }
  EXPECT_EQ(looks.size(), (size_t)kHowToPlayPages) << "pages look alike";
  HpPress(VK_RIGHT);  // nor after the last
  HpPadPress(pad2, PAD_DPAD_LEFT);
  EXPECT_EQ(HowToPlayPage(), kHowToPlayPages - 2);
  uint64_t shown = FrameHash();
  HpPress(VK_ESCAPE);
  GsmSetNextState(GS_HowToPlay);
  ASSERT_TRUE(HpStepUntil(GS_HowToPlay, 3));
  HpStep(1);
  EXPECT_EQ(FrameHash(), shown) << "the page was not kept";

  for (GameStateId screen : {GS_Credits, GS_HowToPlay, GS_Settings}) {
    SCOPED_TRACE(screen);
    GsmSetNextState(GS_MainMenu);
    ASSERT_TRUE(HpStepUntil(GS_MainMenu, 3));
    HpLive menu = HpLiveNow();
    GsmSetNextState(screen);
    ASSERT_TRUE(HpStepUntil(screen, 3));
    HpStep(5);
    HpPress(VK_ESCAPE);
    ASSERT_EQ(GsmGetCurrentState(), GS_MainMenu);
    EXPECT_TRUE(HpLiveNow() == menu) << "it did not free all it loaded";
  }
}

TEST_F(Screens, SettingsClampBothVolumesAndSizeTheRealWindow) {
  ASSERT_TRUE(Start(GS_Settings));
  HpCapture(true);  // the frame's size is the window's
  HpPress(VK_UP);  // opens on the sound row; music is above it
  for (int i = 0; i < 12; ++i) HpPress(VK_LEFT);
  EXPECT_TRUE(musicVolumeStep == 0 && std::abs(musicVolume) < 1e-4f) << musicVolume;
  for (int i = 0; i < 12; ++i) HpPress(VK_RIGHT);
  EXPECT_TRUE(musicVolumeStep == 10 && std::abs(musicVolume - 1) < 1e-4f) << musicVolume;
  HpPress({VK_DOWN, VK_LEFT});
  EXPECT_NEAR(soundVolume, 0.9f, 1e-4f);
  int dw, dh;
  SysGetDisplaySize(&dw, &dh);
  // Keys, then the window: sizes wrap to the largest; full screen; no window size there.
  const struct { int keys[3]; bool full; int width; } steps[] = {
      {{VK_DOWN, VK_DOWN, VK_LEFT}, false, kWindowSizes[kWindowSizeCount - 1].width},
      {{VK_RIGHT, VK_RIGHT}, false, kWindowSizes[1].width}, {{VK_UP, VK_RIGHT}, true, dw},
      {{VK_DOWN, VK_RIGHT}, true, dw}, {{VK_UP, VK_LEFT}, false, kWindowSizes[1].width}};
  for (const auto& step : steps) {
    for (int key : step.keys)
      if (key) HpPress(key);
    EXPECT_TRUE(SysIsFullscreen() == step.full && HpFrameWidth() == step.width) << HpFrameWidth();
  }
}

// Each screen the pause menu opens, held over the battle as it holds it: its own pictures and
// music, F11 there kept by the battle, Esc back to the battle's resources, quad and music as they
// were; Alt+F4 there releases everything.
TEST_F(Screens, EachScreenOverAPausedBattleGoesBackToItAndAltF4ReleasesIt) {
  const struct { GameStateId screen; AudioSystem* audio; bool* hold; HeroId hero1, hero2; }
  cases[] = {
      {GS_HowToPlay, &gHowToPlayAudio, &holdForHowToPlay, Hero_Knight, Hero_Mage},
      {GS_Settings, &gSettingsAudio, &holdForSettings, Hero_Orc, Hero_Druid},
      {GS_Credits, &gCreditsAudio, &holdForCredits, Hero_Druid, Hero_Knight}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screen);
    gMatch = {{c.hero1, c.hero2}, {{Spell_Wind, Spell_Meteor}, {Spell_Stun, Spell_Execute}},
              {3, 3}, Round_P1Won};
    ASSERT_TRUE(started_ = HpStart(GS_Battle, 160, 120));
    HpLive before = HpLiveNow();
    ASSERT_TRUE(HpStep(3) && gAudio.IsOn()) << "sounds are only checked with a device";
    auto hold = [&c] {
      ScreenFullscreenFlag(c.screen) = ScreenFullscreenFlag(GS_Battle);
      battleOnHold = *c.hold = true;
      GsmSetNextState(c.screen);
      return HpStepUntil(c.screen, 3);
    };
    ScreenFullscreenFlag(GS_Battle) = false;
    HpLive battle = HpLiveNow();
    Mesh* quad = gQuadMesh;
    std::list<ChannelSlot*> music = gAudio.busySlots;
    EXPECT_FALSE(music.empty());
    ASSERT_TRUE(hold());
    EXPECT_GT(GfxTextureLiveCount(), battle.textures);
    EXPECT_FALSE(c.audio->busySlots.empty());  // its music, on its own instance
    HpPress({VK_F11, VK_ESCAPE});
    ASSERT_EQ(GsmGetCurrentState(), GS_Battle);
    EXPECT_TRUE(!battleOnHold && ScreenFullscreenFlag(GS_Battle)) << "F11 there was not kept";
    EXPECT_TRUE(HpLiveNow() == battle) << "the screen's resources were not all freed";
    EXPECT_TRUE(gQuadMesh == quad && c.audio->busySlots.empty());
    EXPECT_EQ(gAudio.busySlots, music);  // the battle's music was left alone
    ASSERT_TRUE(hold());
    HpAltF4();
    EXPECT_FALSE(HpStep(1));  // the run is over
    EXPECT_FALSE(*c.hold);
    EXPECT_TRUE(HpLiveNow() == before) << "the held battle was not released";
    Stop();
  }
}

}  // namespace
