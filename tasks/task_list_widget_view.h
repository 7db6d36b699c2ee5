#pragma once

// Attaches the main window's task list view (control 50) as the task list's
// mirror. Called after the main window is built, and again after a rebuild;
// the list starts empty, as the new view does.
void AttachTaskListWidget();
