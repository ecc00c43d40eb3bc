// controls.h - the players' controls in a running battle: lane selection, summoning with energy
// and charge times, spell selection and casting, and the charge and cooldown timers.
#pragma once

void UpdateLaneSelection();
void UpdateSummoning();
void UpdateSpellInput();
void TickSummonCharges();
void TickSpellCooldowns();
