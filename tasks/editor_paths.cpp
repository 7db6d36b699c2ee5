#include "tasks/editor_paths.h"

#include <unistd.h>

#include <cctype>
#include <filesystem>

#include "Inc/Lang.h"
#include "Inc/TextUtil.h"

namespace {

constexpr const char* kVideoExtensions[] = {"AVI", "FLV", "HDMOV", "MKV", "MJPG", "MPG", "M2V",
                                            "MP4", "M4V", "NSV",   "NUT", "QT",   "MOV", "RM",
                                            "SMK", "OGM", "WMV",   "ASF", "3GP",  "3G2",
                                            // Containers in common use today.
                                            "WEBM", "TS", "M2TS", "MTS", "VOB", "MPEG", "OGV",
                                            "H264"};

// "*.[mM][pP]4" for "MP4".
std::string AnyCasePattern(const std::string& extension) {
  std::string pattern = "*.";
  for (const char c : extension) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (std::isalpha(byte)) {
      pattern += '[';
      pattern += static_cast<char>(std::tolower(byte));
      pattern += static_cast<char>(std::toupper(byte));
      pattern += ']';
    } else {
      pattern += c;
    }
  }
  return pattern;
}

}  // namespace

std::string ProposeOutputPath(const std::string& inputPath, const std::string& outputFolder) {
  const auto separator = inputPath.find_last_of("/\\");
  const auto nameStart = separator == std::string::npos ? 0 : separator + 1;
  const auto dot = inputPath.rfind('.');
  const std::string beside =
      dot == std::string::npos || dot < nameStart ? inputPath + ".amv" : inputPath.substr(0, dot) + ".amv";
  if (outputFolder.empty()) return beside;
  const bool endsWithSeparator = outputFolder.back() == '/';
  return outputFolder + (endsWithSeparator ? "" : "/") + beside.substr(nameStart);
}

bool IsUsableOutputFolder(const std::string& folder) {
  std::error_code error;
  return std::filesystem::is_directory(folder, error) && access(folder.c_str(), W_OK | X_OK) == 0;
}

bool IsInFolder(const std::string& output, const std::string& folder) {
  // "a/b/" has an empty last part; "a/b/." tidies to the same "a/b/" as the output's folder.
  const auto tidy = [](const std::filesystem::path& path) { return (path / ".").lexically_normal(); };
  return tidy(std::filesystem::path(output).parent_path()) == tidy(folder);
}

std::string WithAmvExtension(const std::string& path) {
  if (path.size() >= 4 && AsciiLower(path.substr(path.size() - 4)) == ".amv") return path;
  return path + ".amv";
}

std::string InputFileFilter() {
  std::string patterns;
  for (const char* extension : kVideoExtensions) {
    if (!patterns.empty()) patterns += ' ';
    patterns += AnyCasePattern(extension);
  }
  return UiText("s44") +
         " (avi,flv,hdmov,mkv,mpg,m2v,mp4,nsv,nut,qt,mov,rm,smk,ogm,wmv,asf,3gp) (" + patterns +
         ");;" + kAllFilesFilter;
}

bool IsVideoFileName(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return false;
  const std::string extension = AsciiUpper(name.substr(dot + 1));
  for (const char* known : kVideoExtensions)
    if (extension == known) return true;
  return false;
}
