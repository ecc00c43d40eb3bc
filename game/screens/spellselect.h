// spellselect.h - spell selection: both players choose two different spells in turn.
// The six state callbacks the state manager runs.
#pragma once

void SpellSelectLoad();
void SpellSelectInit();
void SpellSelectUpdate();
void SpellSelectDraw();
void SpellSelectFree();
void SpellSelectUnload();
