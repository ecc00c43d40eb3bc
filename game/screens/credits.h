// credits.h - the scrolling credits between the four heroes' pictures.
// The six state callbacks the state manager runs.
#pragma once

void CreditsLoad();
void CreditsInit();
void CreditsUpdate();
void CreditsDraw();
void CreditsFree();
void CreditsUnload();

// Seconds waited before the first scroll of the run; the wait happens on the first visit only.
float CreditsDelay();
