#pragma once

#include <functional>
#include <string>

class QMainWindow;

// Sends a desktop notification; tests pass a recorder instead.
using DesktopNotifier = std::function<void(const std::string& title, const std::string& text)>;

// The freedesktop notification service where a session bus runs (it starts
// on demand), else the system tray's balloon, with `window`'s icon, where
// there is a tray and a window.
void NotifyDesktop(const QMainWindow* window, const std::string& title, const std::string& text);

// A batch has ended with this summary. When the main window (nullptr: none)
// is minimised or not the active window, its task bar entry asks for
// attention and `notify` carries the summary; otherwise the summary box is enough.
void NoticeBatchEnd(QMainWindow* window, const std::string& title, const std::string& text,
                    const DesktopNotifier& notify);
