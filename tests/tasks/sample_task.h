#pragma once

#include <string>

#include "tasks/task.h"

// A task named after a video in /videos; its files need not exist.
inline Task SampleTask(const std::string& name, int resolution = 0, int quality = 0) {
  Task task;
  task.InputFile = "/videos/" + name + ".mp4";
  task.OutputFile = "/videos/" + name + ".amv";
  task.Resolution = static_cast<int8_t>(resolution);
  task.Quality = static_cast<int8_t>(quality);
  return task;
}
