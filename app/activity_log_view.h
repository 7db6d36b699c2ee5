#pragma once

#include "Inc/AppState.h"

// Makes the log list (control 51) of the main window of `app` its activity
// log. Called once after BuildMainWindow; the log follows the window if it is
// built again.
void AttachMainWindowLog(AppState& app);
