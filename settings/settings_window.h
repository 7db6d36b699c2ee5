#pragma once

// The modal settings window (language and activity log switch).
void ShowSettingsWindow();
