// mainmenu.cpp - the main menu with the first-entry logo sequence and the quit question.
// Placeholder: the screen is not built yet.
#include "screens/mainmenu.h"

void MainMenuLoad() {}
void MainMenuInit() {}
void MainMenuUpdate() {}
void MainMenuDraw() {}
void MainMenuFree() {}
void MainMenuUnload() {}
