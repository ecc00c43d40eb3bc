// mainmenu.h - the main menu with the first-entry logo sequence and the quit question.
// The six state callbacks the state manager runs.
#pragma once

void MainMenuLoad();
void MainMenuInit();
void MainMenuUpdate();
void MainMenuDraw();
void MainMenuFree();
void MainMenuUnload();

// The logos play at the first entry of a run only. Puts that back as at program start, so a
// test program can see a first entry more than once.
void MainMenuReplayLogos();
// The menu is up (no logos, no question) with its arrow on "Start game".
bool MainMenuStartUnderArrow();
