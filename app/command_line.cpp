#include "app/command_line.h"

#include <filesystem>
#include <system_error>

CommandLine ParseCommandLine(const std::vector<std::string>& words) {
  CommandLine line;
  bool optionsEnded = false;
  for (const std::string& word : words) {
    if (!optionsEnded && word == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && !word.empty() && word[0] == '-') {
      line.error = "unknown option '" + word + "'";
      line.files.clear();
      return line;
    } else if (!word.empty()) {
      // Files are named relative to where the program was started.
      std::error_code error;
      const std::filesystem::path absolute = std::filesystem::absolute(word, error);
      line.files.push_back(error ? word : absolute.lexically_normal().string());
    }
  }
  return line;
}
