#include "convert/output_replacement.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "Inc/TextUtil.h"

namespace {

bool Taken(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string ReplacementPath(const std::string& output) {
  const auto slash = output.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : output.substr(0, slash + 1);
  const std::string name = output.substr(folder.size());
  for (int attempt = 1;; ++attempt) {
    std::string candidate = folder + "." + name + ".new-" + IntToText(attempt) + ".amv";
    if (!Taken(candidate)) return candidate;
  }
}

bool PutReplacementInPlace(const std::string& temporary, const std::string& output) {
  if (std::rename(temporary.c_str(), output.c_str()) == 0) return true;
  DiscardReplacement(temporary);
  return false;
}

void DiscardReplacement(const std::string& temporary) {
  struct stat info {};
  if (::lstat(temporary.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(temporary.c_str());
}
