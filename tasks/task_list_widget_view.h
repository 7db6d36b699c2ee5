#pragma once

class QTreeWidget;

// The main window hands over its task list view (control 50) when it builds it.
void SetTaskListWidget(QTreeWidget* widget);

// Attaches that view as the task list's mirror. Called after the main window
// is built, and again after a rebuild; the list starts empty, as the new view
// does.
void AttachTaskListWidget();
