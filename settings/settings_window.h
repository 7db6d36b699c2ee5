#pragma once

// The modal settings window (language, activity log switch, conversions at the same time).
void ShowSettingsWindow();
