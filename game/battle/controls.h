// controls.h - the players' controls in a running battle: lane selection, summoning with energy
// and charge times, spell selection and casting, and the charge and cooldown timers.
#pragma once

void UpdateLaneSelection();
void UpdateSummoning();
void UpdateSpellInput();
void TickSummonCharges();
void TickSpellCooldowns();
// Whether the player's cast control fired in this update (the meteor launch reads it).
bool ControlsCastFired(int player);
