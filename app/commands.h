#pragma once

#include <functional>

// Menu items, toolbar buttons and shortcuts all arrive here with their
// command id (Inc/CommandIds.h).
void DispatchCommand(int commandId);

// While a batch runs its driver takes every command (it acts on Stop only)
// and the main window refuses close requests. An empty function restores the
// command table.
void SetCommandInterceptor(std::function<void(int commandId)> interceptor);
bool CommandInterceptorActive();

// The close box outside a batch: asks with the fixed English texts and quits
// on Yes. While a batch runs the request is refused without a question.
void ConfirmCloseRequest();

// Ends the program as a confirmed quit does: sets the quit flag and leaves the
// main loop.
void QuitProgram();
