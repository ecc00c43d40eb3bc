// hud.h - the battle's heads-up texts: energy numbers, spell names and the player tags.
// Drawn after the board's objects; the tags once more over the pause menu.
#pragma once

void DrawBattleTexts();
void DrawPlayerTags();
