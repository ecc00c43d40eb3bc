// spellselect.h - spell selection: both players choose two different spells in turn.
// The six state callbacks the state manager runs.
#pragma once

void SpellSelectLoad();
void SpellSelectInit();
void SpellSelectUpdate();
void SpellSelectDraw();
void SpellSelectFree();
void SpellSelectUnload();

// The player choosing now (0 or 1), or -1 once both are done; which of that player's two spells
// is being chosen (0 or 1); the cell under that player's arrow (book cell order).
int SpellSelectChooser();
int SpellSelectSlot();
int SpellSelectCell();
