// credits.h - the scrolling credits between the four heroes' pictures.
// The six state callbacks the state manager runs.
#pragma once

void CreditsLoad();
void CreditsInit();
void CreditsUpdate();
void CreditsDraw();
void CreditsFree();
void CreditsUnload();
