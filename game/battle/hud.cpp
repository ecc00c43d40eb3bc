// hud.cpp - the battle's energy numbers, spell names and player tags.
// Placeholder until the HUD is built.
#include "battle/hud.h"

void DrawBattleTexts() {}
void DrawPlayerTags() {}
