#pragma once

struct AppState;

// Runs the main event loop until the quit flag is set; returns at once when
// it already is.
void RunMainLoop(const AppState& app);

// Leaves the running main loop once the current event is handled; nothing
// happens when no main loop runs (as in tests that dispatch commands directly).
void EndMainLoop();
