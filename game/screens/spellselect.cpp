// spellselect.cpp - spell selection: both players choose two different spells in turn.
// Placeholder: the screen is not built yet.
#include "screens/spellselect.h"

void SpellSelectLoad() {}
void SpellSelectInit() {}
void SpellSelectUpdate() {}
void SpellSelectDraw() {}
void SpellSelectFree() {}
void SpellSelectUnload() {}
