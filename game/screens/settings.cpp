// settings.cpp - settings: music and sound volume, full screen, window size and mute.
// Placeholder: the screen is not built yet.
#include "screens/settings.h"

void SettingsLoad() {}
void SettingsInit() {}
void SettingsUpdate() {}
void SettingsDraw() {}
void SettingsFree() {}
void SettingsUnload() {}
