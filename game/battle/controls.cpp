// controls.cpp - lane selection, summoning, spell selection and casting, charges and cooldowns.
// Placeholder until the controls are built.
#include "battle/controls.h"

void UpdateLaneSelection() {}
void UpdateSummoning() {}
void UpdateSpellInput() {}
void TickSummonCharges() {}
void TickSpellCooldowns() {}
bool ControlsCastFired(int) { return false; }
