#pragma once

#include <functional>
#include <string>

// Sends a desktop notification; tests put a recorder in its place.
using DesktopNotifier = std::function<void(const std::string& title, const std::string& text)>;

// An empty function puts the desktop's own notifications back.
void SetDesktopNotifier(DesktopNotifier notifier);

// A batch has ended with this summary. When the main window is minimised or
// not the active window, its task bar entry asks for attention and a desktop
// notification carries the summary; otherwise the summary box is enough.
void NoticeBatchEnd(const std::string& title, const std::string& text);
