#pragma once

#include <sys/stat.h>

#include <string>

#include "scratch_dir.h"
#include "tasks/task.h"

// Puts a shell script in the program directory's encoder place; it receives
// the encoder's arguments ($2 is the input path).
inline void WriteStandInEncoder(const ScratchDir& program, const std::string& body) {
  const std::string path = program.Write("Core/ffmpeg", "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
}

inline Task TaskFor(const std::string& input, const std::string& output) {
  Task task;
  task.InputFile = input;
  task.OutputFile = output;
  return task;
}
