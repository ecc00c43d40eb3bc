// hpplay.cpp - temporary working folders with damaged data, and the game played with keys.
#include "hpplay.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "battle/battle.h"
#include "battle/match.h"
#include "battle/pause.h"
#include "hpmenus.h"
#include "hptest.h"
#include "kegsm.h"
#include "keinput.h"
#include "kesystem.h"
#include "states.h"

namespace fs = std::filesystem;

namespace {

struct PlayFolder {
  fs::path home, temp;
};
PlayFolder gFolder;

bool LinkTree(const fs::path& from, const fs::path& to) {
  std::error_code err;
  fs::create_directories(to, err);
  if (err) return false;
  for (const fs::directory_entry& e : fs::directory_iterator(from, err)) {
    fs::path target = to / e.path().filename();
    if (e.is_directory()) {
      if (!LinkTree(e.path(), target)) return false;
    } else {
      fs::create_symlink(e.path(), target, err);
      if (err) return false;
    }
  }
  return !err;
}

// A damaged file must not write through the link into the real data.
bool WriteFile(const char* path, const std::string& bytes) {
  std::error_code err;
  fs::remove(path, err);
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return (bool)out;
}

}  // namespace

bool PlayEnterFolder(bool withData) {
  gFolder.home = fs::current_path();
  char pattern[] = "/tmp/hp-play-XXXXXX";
  if (!mkdtemp(pattern)) return false;
  gFolder.temp = pattern;
  if (withData && !LinkTree(fs::canonical(gFolder.home / "data"), gFolder.temp / "data"))
    return false;
  fs::current_path(gFolder.temp);
  return true;
}

void PlayLeaveFolder() {
  if (gFolder.temp.empty()) return;
  std::error_code err;
  fs::current_path(gFolder.home, err);
  fs::remove_all(gFolder.temp, err);
  gFolder.temp.clear();
}

bool PlayTruncate(const char* path, size_t keepBytes) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(keepBytes, '\0');
  in.read(&bytes[0], (std::streamsize)keepBytes);
  bytes.resize((size_t)in.gcount());
  return (bool)in.is_open() && WriteFile(path, bytes);
}

bool PlayGarbage(const char* path) {
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes += (char)(i * 7919 % 251);
  return WriteFile(path, bytes);
}

bool PlayWriteWav(const char* path, int channels, int rate, int bits, uint32_t dataBytes) {
  auto le = [](std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += (char)(v >> (8 * i) & 0xFF);
  };
  std::string w = "RIFF";
  le(w, 36 + dataBytes, 4);
  w += "WAVEfmt ";
  le(w, 16, 4);
  le(w, 1, 2);  // PCM
  le(w, (uint32_t)channels, 2);
  le(w, (uint32_t)rate, 4);
  le(w, (uint32_t)(rate * channels * bits / 8), 4);
  le(w, (uint32_t)(channels * bits / 8), 2);
  le(w, (uint32_t)bits, 2);
  w += "data";
  le(w, dataBytes, 4);
  for (uint32_t i = 0; i < dataBytes; ++i) w += (char)(i * 31 % 256);
  return WriteFile(path, w);
}

bool PlayRemove(const char* path) {
  std::error_code err;
  return fs::remove(path, err);
}

bool PlayIntoBattle(int maxFrames) {
  // Spell selection: confirm, player 1's other column, player 2's other column, and again; a
  // second spell equal to the first is refused, the column move makes it another.
  const int spellKeys[3] = {VK_SPACE, 'D', VK_RIGHT};
  for (int frame = 0, n = 0; frame < maxFrames; frame += 2, ++n) {
    switch (GsmGetCurrentState()) {
      case GS_Battle: return true;
      case GS_MainMenu: MenusPress(VK_RETURN); break;  // skips the logos, then "Start game"
      case GS_HeroSelect: MenusPress(VK_SPACE); break;
      case GS_SpellSelect: MenusPress(spellKeys[n % 3]); break;
      default: return false;
    }
  }
  return GsmGetCurrentState() == GS_Battle;
}

bool PlayVisitSettingsFromPause() {
  if (GsmGetCurrentState() != GS_Battle || PauseIsOpen()) return false;
  MenusPress('P');  // opens on "How to play"
  MenusPress('S');  // "Settings"
  MenusPress(VK_SPACE);
  if (!MenusStepUntil(GS_Settings, 3)) return false;
  TestStep(10);
  MenusPress(VK_ESCAPE);
  if (!MenusStepUntil(GS_Battle, 3) || !PauseIsOpen()) return false;
  for (int i = 0; i < 8 && PauseCursor(0) != 1; ++i) MenusPress('W');  // up to "Continue"
  MenusPress(VK_SPACE);
  TestStep(1);
  return GsmGetCurrentState() == GS_Battle && !PauseIsOpen();
}

bool PlayRoundWonByPlayer1(int maxFrames) {
  // Summons, and now and then the next spell cast (its sound played).
  const int keys[6] = {'1', '2', '3', '4', 'Z', 'D'};
  for (int frame = 0, n = 0; frame < maxFrames; frame += 2, ++n) {
    if (GsmGetCurrentState() == GS_RoundOver) return true;
    if (GsmGetCurrentState() != GS_Battle) return false;
    MenusPress(keys[n % 6]);
  }
  return GsmGetCurrentState() == GS_RoundOver;
}

void PlayMatchRound(void (*check)()) {
  ASSERT_TRUE(MenusStart(GS_MainMenu, 320, 240));
  SysSetIcon("data/icon.png");
  bool intoBattle = PlayIntoBattle();
  EXPECT_TRUE(intoBattle) << "stuck on state " << GsmGetCurrentState();
  if (intoBattle) {
    check();
    EXPECT_EQ(gMatch.heroHealth[0], 3);
    EXPECT_EQ(gMatch.heroHealth[1], 3);
    EXPECT_TRUE(PlayVisitSettingsFromPause());
    EXPECT_TRUE(PlayRoundWonByPlayer1()) << "the round did not end";
    EXPECT_EQ(gMatch.roundWinner, Round_P1Won);
    EXPECT_EQ(gMatch.heroHealth[0], 3);
    EXPECT_EQ(gMatch.heroHealth[1], 2);
    EXPECT_TRUE(MenusStepUntil(GS_Battle, 400)) << "no next round";
    TestStep(2);
    EXPECT_FALSE(BattleRoundState().scored[0] || BattleRoundState().scored[1]);
    EXPECT_EQ(gMatch.heroHealth[1], 2);
  }
  MenusAltF4();
  EXPECT_FALSE(TestStep(1)) << "Alt+F4 did not quit";
  MenusStop();
  EXPECT_EQ(MenusLiveCounts(), (LiveCounts{0, 0, 0}));
  EXPECT_TRUE(TestMessageBoxes().empty()) << TestMessageBoxes()[0].text;
}
