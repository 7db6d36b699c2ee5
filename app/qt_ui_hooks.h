#pragma once

struct AppState;

// Answers the core's message boxes, file dialogs, status texts and shell
// requests with Qt's widgets, over the main window of `app`.
void InstallQtUiHooks(const AppState& app);
