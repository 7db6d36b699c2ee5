#pragma once

#include <string>
#include <vector>

// What the words after the program's name ask for: input files to open the
// task editor with. "--" ends the options, so later words are file names even
// when they begin with '-'. Qt's own options (-platform NAME, -style=NAME,
// -reverse...) are passed over, as Qt takes them itself; any other word
// beginning with '-' is an unknown option. Read before Qt starts, so that an
// unknown option is refused even where no display can be opened; names keep
// their bytes, whatever their encoding.
struct CommandLine {
  std::vector<std::string> files;  // absolute, in the order given
  std::string error;               // the complaint about an unknown option; empty when none
};

CommandLine ParseCommandLine(const std::vector<std::string>& words);

inline constexpr const char* kCommandLineUsage = "Usage: mflpx [FILE...]";
