#pragma once

// Answers the core's message boxes, file dialogs, status texts and shell
// requests with Qt's widgets.
void InstallQtUiHooks();
