#pragma once

#include <functional>

#include "Inc/AppState.h"

// Menu items, toolbar buttons and shortcuts of the main window of `app` all
// arrive here with their command id (Inc/CommandIds.h).
void DispatchCommand(AppState& app, int commandId);

// While a batch runs its driver takes every command (it acts on Stop only)
// and the main window refuses close requests. An empty function restores the
// command table.
void SetCommandInterceptor(AppState& app, std::function<void(int commandId)> interceptor);
bool CommandInterceptorActive(const AppState& app);

// The close box outside a batch: asks with the fixed English texts and quits
// on Yes. While a batch runs the request is refused without a question.
void ConfirmCloseRequest(AppState& app);

// Ends the program as a confirmed quit does: sets the quit flag and leaves the
// main loop.
void QuitProgram(AppState& app);
