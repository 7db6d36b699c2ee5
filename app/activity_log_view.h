#pragma once

// Makes the main window's log list (control 51) the activity log. Called once
// after BuildMainWindow; the log follows the window if it is built again.
void AttachMainWindowLog();
