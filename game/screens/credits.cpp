// credits.cpp - the scrolling credits between the four heroes' pictures.
// Placeholder: the screen is not built yet.
#include "screens/credits.h"

void CreditsLoad() {}
void CreditsInit() {}
void CreditsUpdate() {}
void CreditsDraw() {}
void CreditsFree() {}
void CreditsUnload() {}
