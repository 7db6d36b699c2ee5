#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "Inc/ActivityLog.h"
#include "tasks/task.h"
#include "tasks/task_list.h"

// What the batch reaches outside the conversion engine. The task list and
// the log default to the real ones; the window code supplies the rest.
struct BatchSeams {
  std::function<int()> taskCount = TaskCount;
  std::function<Task(int position)> taskAt = TaskAt;
  std::function<void(int row, const std::string& text)> setTaskStatus = SetTaskStatusText;
  std::function<void()> showTaskCount = ShowTaskCount;
  std::function<void(const std::string& line)> addLogLine = AddLogLine;
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

// The Start command over the given seams: status bar, log and toolbar around
// a batch that converts every task with the encoder at App().encoderPath.
void StartConversion(const BatchSeams& seams);
