// mainmenu.h - the main menu with the first-entry logo sequence and the quit question.
// The six state callbacks the state manager runs.
#pragma once

void MainMenuLoad();
void MainMenuInit();
void MainMenuUpdate();
void MainMenuDraw();
void MainMenuFree();
void MainMenuUnload();
