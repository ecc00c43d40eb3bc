// settings.h - settings: music and sound volume, full screen, window size and mute.
// The six state callbacks the state manager runs.
#pragma once

void SettingsLoad();
void SettingsInit();
void SettingsUpdate();
void SettingsDraw();
void SettingsFree();
void SettingsUnload();
