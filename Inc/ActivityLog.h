#pragma once

#include <string>

struct AppState;

// The activity log's list as the log logic sees it: the lines themselves, in
// the order added, at most one of them selected. The main window's log list
// implements it; tests implement it without a window.
class LogView {
 public:
  virtual ~LogView() = default;
  virtual int LineCount() const = 0;
  virtual std::string LineAt(int index) const = 0;
  // Appends a last line, selects it and scrolls it into view.
  virtual void AppendAndSelect(const std::string& line) = 0;
  virtual void Clear() = 0;
};

// Makes view the activity log of `app`; nullptr detaches it. The caller keeps
// the view alive while it is attached. Without a view the log is empty.
void AttachLogView(AppState& app, LogView* view);

// Appends one line to the activity log of `app` while its LogActions is exactly 1.
void AddLogLine(const AppState& app, const std::string& text);

// Asks for a file name and writes every line followed by CR LF; a name that
// does not end in ".txt" gets it appended.
void SaveLog(const AppState& app);

// Removes every line, without asking.
void ClearLog(const AppState& app);
