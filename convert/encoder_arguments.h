#pragma once

#include <string>
#include <vector>

#include "tasks/task.h"

// The argument line of one task, character for character as the activity log
// shows it after "FFMpeg -> ". An index outside its table uses the nearest entry.
std::string BuildEncoderArguments(const Task& task);

// The same arguments as the encoder receives them, one element each, taken from
// the task's fields and never from splitting the line above: a path holding
// quotes or runs of spaces stays one argument and cannot turn into an option.
std::vector<std::string> EncoderArgumentVector(const Task& task);

// The output path as the encoder receives it (and as the batch removes it
// after a stop): the task's own, with "./" before one that begins with '-'.
std::string EncoderOutputPath(const Task& task);
