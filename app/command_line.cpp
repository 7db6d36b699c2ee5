#include "app/command_line.h"

#include <filesystem>
#include <set>
#include <system_error>

namespace {

enum class ToolkitOption { None, Flag, WithValue };

// Qt's options for every application; Qt accepts them with one dash or two,
// and the ones with a value also as -name=value.
ToolkitOption KindOfToolkitOption(std::string word) {
  static const std::set<std::string> kWithValue = {
      "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry", "-qwindowicon",
      "-qwindowtitle", "-session", "-display", "-geometry", "-style", "-stylesheet"};
  static const std::set<std::string> kFlags = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync",
                                               "-testability"};
  if (word.starts_with("--")) word.erase(0, 1);
  if (kFlags.count(word)) return ToolkitOption::Flag;
  if (kWithValue.count(word)) return ToolkitOption::WithValue;
  const std::size_t equals = word.find('=');
  if (equals != std::string::npos &&
      (kWithValue.count(word.substr(0, equals)) || word.substr(0, equals) == "-qmljsdebugger"))
    return ToolkitOption::Flag;
  return ToolkitOption::None;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& words) {
  CommandLine line;
  bool optionsEnded = false;
  bool valueFollows = false;
  for (const std::string& word : words) {
    if (valueFollows) {
      valueFollows = false;
    } else if (!optionsEnded && word == "--") {
      optionsEnded = true;
    } else if (const ToolkitOption kind = optionsEnded ? ToolkitOption::None : KindOfToolkitOption(word);
               kind != ToolkitOption::None) {
      valueFollows = kind == ToolkitOption::WithValue;
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
