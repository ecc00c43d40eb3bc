// book.cpp - the selection book's grid, the players' keys for it, their marks, and the selection
// music.
#include "screens/book.h"

#include "framework/audio.h"
#include "keinput.h"
#include "screens/screen.h"

namespace {

struct BookMusic {
  SoundEntry* selectionMusic = nullptr;
  ChannelSlot* selectionChannel = nullptr;
};
BookMusic gBookMusic;

const uint32_t kMarkColor[2] = {0xFF0000FF, 0xFFFF9F00};

struct BookKeys {
  int left, right, up, down;
};
const BookKeys kKeys[2] = {{'A', 'D', 'W', 'S'}, {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}};

bool BookPressed(int player, int key, uint16_t button) {
  return InputIsTriggered(key) || InputPadIsTriggered(player, button);
}

}  // namespace

int BookCellOf(const int32_t ids[4], int32_t id) {
  for (int cell = 0; cell < 4; ++cell)
    if (ids[cell] == id) return cell;
  return -1;
}

BookMove BookReadMove(int player) {
  const BookKeys& k = kKeys[player];
  if (BookPressed(player, k.left, PAD_DPAD_LEFT) || BookPressed(player, k.right, PAD_DPAD_RIGHT))
    return BOOK_Column;
  if (BookPressed(player, k.up, PAD_DPAD_UP) || BookPressed(player, k.down, PAD_DPAD_DOWN))
    return BOOK_Row;
  if (BookPressed(player, VK_SPACE, PAD_A)) return BOOK_Confirm;
  return BOOK_None;
}

void BookPrintMark(Font* font, int player, int cell, int mark) {
  if (cell < 0) return;
  ScreenLabel<2> label;
  label.Format("%d", mark);
  // Player 2's mark stands beside player 1's, so both show when they chose the same.
  label.x = (BookCellColumn(cell) ? -190.0f : -330.0f) + (player ? 50.0f : 0.0f);
  label.y = BookCellRow(cell) ? -170.0f : 230.0f;
  label.k = 1.5f;
  label.color = kMarkColor[player];
  label.Print(font);
}

void BookPrintTitle(Font* font, const char* text) {
  ScreenLabel<100> label;
  label.Format("%s", text);
  label.x = -360;
  label.y = -230;
  label.k = 1.5f;
  label.color = 0xFFFF4500;
  label.Print(font);
}

void BookMusicLoad() {
  gBookMusic.selectionMusic = gAudio.LoadSound("data/Sound/Pause.wav");
}

void BookMusicStart() {
  gBookMusic.selectionChannel = gAudio.Play(gBookMusic.selectionMusic, ScreenMusicVolume());
  if (gBookMusic.selectionChannel) gBookMusic.selectionChannel->SetLooping(true);
}

ChannelSlot* BookMusicChannel() { return gBookMusic.selectionChannel; }

void BookMusicStop() { gBookMusic.selectionChannel = nullptr; }

void BookMusicUnload() {
  gAudio.FreeSound(gBookMusic.selectionMusic);
  gBookMusic.selectionMusic = nullptr;
}
