#pragma once

#include <map>
#include <vector>

struct AppState;
class QAction;
class QMainWindow;
class QToolBar;

// The menu bar with its five titles; every item dispatches its command id to
// `app`. Fills `items` with each item's action by command id.
void BuildMenuBar(AppState& app, QMainWindow* window, std::map<int, QAction*>& items);

// The flat toolbar with the ten buttons and their separators, unlabelled.
// Fills `buttons` with each button's action by command id.
QToolBar* BuildToolbar(AppState& app, QMainWindow* window, std::map<int, QAction*>& buttons);

// The command ids of the toolbar buttons, left to right.
std::vector<int> ToolbarCommandIds();

// The label key of toolbar button `commandId`.
const char* ToolbarLabelKey(int commandId);

// F1, Ctrl+A, Ctrl+R and Delete, bound to the whole window.
void BindShortcuts(AppState& app, QMainWindow* window);
