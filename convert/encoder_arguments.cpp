#include "convert/encoder_arguments.h"

#include "tasks/task_options.h"

namespace {

// " -name value" for each argument: the volume, crop and pad pieces.
std::string Leading(const Task& task, ArgumentPlace place) {
  std::string piece;
  for (const std::string& argument : OptionArguments(task, place)) piece += " " + argument;
  return piece;
}

// "name value " for each argument: the pieces after "-f amv".
std::string Trailing(const Task& task, ArgumentPlace place) {
  std::string piece;
  for (const std::string& argument : OptionArguments(task, place)) piece += argument + " ";
  return piece;
}

void Append(std::vector<std::string>& arguments, const std::vector<std::string>& more) {
  arguments.insert(arguments.end(), more.begin(), more.end());
}

}  // namespace

// The output is the one argument that stands alone; "./" keeps a path the user
// typed with a leading '-' from reading as an option, and names the same file.
std::string EncoderOutputPath(const Task& task) {
  return task.OutputFile.starts_with('-') ? "./" + task.OutputFile : task.OutputFile;
}

// The crop and pad pieces each end with one more space, so two stand before
// "-padtop" and one before "-f".
std::string BuildEncoderArguments(const Task& task) {
  using enum ArgumentPlace;
  return "-i \"" + task.InputFile + "\"" + Leading(task, Volume) + Leading(task, Crop) + " " + Leading(task, Pad) +
         " " + "-f amv " + Trailing(task, FrameSize) + Trailing(task, FrameRate) + "-ac 1 -ar 22050 " +
         Trailing(task, Quantiser) + Trailing(task, Added) + "\"" + task.OutputFile + "\"";
}

std::vector<std::string> EncoderArgumentVector(const Task& task) {
  using enum ArgumentPlace;
  std::vector<std::string> arguments = {"-i", task.InputFile};
  for (const ArgumentPlace place : {Volume, Crop, Pad}) Append(arguments, OptionArguments(task, place));
  Append(arguments, {"-f", "amv"});
  for (const ArgumentPlace place : {FrameSize, FrameRate}) Append(arguments, OptionArguments(task, place));
  Append(arguments, {"-ac", "1", "-ar", "22050"});
  for (const ArgumentPlace place : {Quantiser, Added}) Append(arguments, OptionArguments(task, place));
  arguments.push_back(EncoderOutputPath(task));
  return arguments;
}
