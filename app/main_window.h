#pragma once

#include <string>

#include "Inc/AppState.h"

class LogList;
class QMainWindow;
class QToolBar;
class QTreeWidget;

// Fixed numbers by which the rest of the program addresses the main window's parts.
constexpr int kMainWindowId = 0;
constexpr int kStatusBarId = 0;
constexpr int kMenuBarId = 1;
constexpr int kToolbarId = 2;
constexpr int kTaskListViewId = 50;
constexpr int kActivityLogId = 51;
constexpr int kSplitterId = 52;

// Builds the main window of `app` hidden (menus, toolbar, task list view,
// activity log, splitter, status bar, shortcuts, anchoring); `app` keeps its
// parts until DestroyMainWindow. False when it cannot be built. Tests may
// call it again: the previous window of `app` is destroyed first.
bool BuildMainWindow(AppState& app);
void DestroyMainWindow(AppState& app);

// The parts of the main window of `app`; nullptr while it has none.
QMainWindow* MainWindow(const AppState& app);      // window 0
QTreeWidget* TaskListWidget(const AppState& app);  // control 50: five columns, one row per task
LogList* LogListWidget(const AppState& app);       // control 51: one line per log line
QToolBar* MainToolbar(const AppState& app);        // toolbar 2

// Attaches the main window's task list view as the mirror of the task list
// of `app`. Called after the main window is built, and again after a
// rebuild; the list starts empty, as the new view does.
void AttachTaskListWidget(AppState& app);

// Enables or disables every toolbar button except Stop.
void SetToolbarEnabled(AppState& app, bool enabled);

// Gives toolbar button `commandId` its label, the button as wide as the text
// plus 4 pixels. Does nothing when toolbar `toolbarId` does not exist.
void SetToolbarButtonLabel(const AppState& app, int toolbarId, int commandId, const std::string& text);

// Status bar fields 0 and 1; nothing happens without a status bar.
void SetStatusFieldText(const AppState& app, int field, const std::string& text);

// Sets each of the five task list columns to w/5 - 1 pixels, w being the
// main window's client width (done on every size event and at start-up).
void SetTaskColumnWidths(const AppState& app);
