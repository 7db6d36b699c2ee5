#pragma once

#include <string>
#include <vector>

// What the words after the program's name ask for: input files to open the
// task editor with. "--" ends the options, so later words are file names even
// when they begin with '-'; any other word beginning with '-' is an unknown
// option.
struct CommandLine {
  std::vector<std::string> files;  // absolute, in the order given
  std::string error;               // the complaint about an unknown option; empty when none
};

CommandLine ParseCommandLine(const std::vector<std::string>& words);

inline constexpr const char* kCommandLineUsage = "Usage: mflpx [FILE...]";
