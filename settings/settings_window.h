#pragma once

// The modal settings window: language, activity log switch, conversions at the same time,
// folder for converted files.
void ShowSettingsWindow();
