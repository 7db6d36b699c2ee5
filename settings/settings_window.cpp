#include "settings/settings_window.h"

// Placeholder: replaced by the settings window work.
void ShowSettingsWindow() {}
