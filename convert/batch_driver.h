#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "Inc/ActivityLog.h"
#include "tasks/task.h"
#include "tasks/task_list.h"

struct AppState;

// What the batch reaches outside the conversion engine: the task list and
// the log (TaskListSeams gives a state's own), and what the window code
// supplies.
struct BatchSeams {
  std::function<int()> taskCount;
  std::function<Task(int position)> taskAt;
  std::function<void(int row, const std::string& text)> setTaskStatus;
  std::function<void()> showTaskCount;
  std::function<void(const std::string& line)> addLogLine;
  // All toolbar buttons but Stop.
  std::function<void(bool enabled)> setToolbarEnabled;
  // Waits at most timeoutMs for the next window event, handling window
  // events meanwhile, and ends early when wakeDescriptor (unless -1) turns
  // readable; returns the command the event carried, or -1.
  std::function<int(int timeoutMs, int wakeDescriptor)> waitForCommand;
  // Seconds on a clock that only runs forward, for the batch's times.
  std::function<double()> clockSeconds = [] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  };
};

// Seams over the task list and the activity log of `app`; the window code
// adds the toolbar and the wait for commands.
BatchSeams TaskListSeams(AppState& app);

// The Start command over the given seams: status bar, log and toolbar around
// a batch that converts every task with the encoder and at most as many at
// once as `app` says, its ConversionRunning set meanwhile.
void StartConversion(AppState& app, const BatchSeams& seams);
