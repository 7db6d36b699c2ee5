#pragma once

struct AppState;
class QTreeWidget;

// Files and folders dropped on the task list open the task editor with the
// input files they stand for; drops are refused while a batch of `app` runs.
void AcceptFileDrops(AppState& app, QTreeWidget* taskList);
