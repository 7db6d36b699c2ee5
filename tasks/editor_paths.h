#pragma once

#include <string>

// Path rules of the task editor's Browse buttons.

// The input path with its file name's extension replaced by "amv", whatever
// its letter case; a name without extension (or ending in a dot) gets ".amv"
// appended instead. Folder names are left alone.
std::string ProposeOutputPath(const std::string& inputPath);

// Appends ".amv" unless the path already ends with it in any letter case.
std::string WithAmvExtension(const std::string& path);

// The open dialog's filter for input videos. File name patterns are
// case-sensitive here, so each extension matches in any letter case.
std::string InputFileFilter();

inline constexpr const char* kOutputFileFilter = "AMV (*.amv)";
