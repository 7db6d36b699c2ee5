#include "app/data_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "Inc/TextUtil.h"

namespace {

// The base directory for user settings; empty when neither variable names an
// absolute path (relative ones are to be ignored).
std::string ConfigHome() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome && configHome[0] == '/') return WithTrailingSlash(configHome);
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return WithTrailingSlash(home) + ".config/";
  return {};
}

// Makes every missing folder of `directory` (ending with '/') private to the
// user, as settings folders are; true when it ends up a folder we can write.
bool MakeWritableDirectory(const std::string& directory) {
  for (std::size_t slash = directory.find('/', 1); slash != std::string::npos;
       slash = directory.find('/', slash + 1)) {
    if (mkdir(directory.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && access(directory.c_str(), W_OK) == 0;
}

}  // namespace

std::string ChooseDataDirectory(const std::string& programDirectory) {
  const std::string program = WithTrailingSlash(programDirectory);
  if (access(program.c_str(), W_OK) == 0) return program;
  const std::string base = ConfigHome();
  if (base.empty()) return program;
  const std::string own = base + "mflpx/";
  return MakeWritableDirectory(own) ? own : program;
}
