#pragma once

struct AppState;

// The modal settings window: language, activity log switch, conversions at the same time,
// folder for converted files, of the state `app`, which it changes on Accept.
void ShowSettingsWindow(AppState& app);
