// hud.h - the battle's heads-up texts: energy numbers, spell names and the player tags.
#pragma once

void DrawBattleTexts();
void DrawPlayerTags();
