#pragma once

struct AppState;

// The Start command: runs the batch driver with the main window's seams (its
// toolbar, its events, the commands it takes while the batch runs), so the
// window stays live meanwhile.
void RunBatchInMainWindow(AppState& app);
