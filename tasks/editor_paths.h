#pragma once

#include <string>

// Path rules of the task editor's Browse buttons.

// The input path with its file name's extension replaced by "amv", whatever
// its letter case; a name without extension (or ending in a dot) gets ".amv"
// appended instead. Folder names are left alone. With an output folder (empty:
// beside each source) the proposed file name goes into that folder instead.
std::string ProposeOutputPath(const std::string& inputPath, const std::string& outputFolder);

// Whether the folder for converted files exists and can take new files.
bool IsUsableOutputFolder(const std::string& folder);

// Whether the output file lies directly in that folder, the paths compared as
// written but tidied ("/out/", "/out" and "/out/." are one folder).
bool IsInFolder(const std::string& output, const std::string& folder);

// Appends ".amv" unless the path already ends with it in any letter case.
std::string WithAmvExtension(const std::string& path);

// The open dialog's filters for input videos, the video files first and
// "All Files" last. File name patterns are case-sensitive here, so each
// extension matches in any letter case.
std::string InputFileFilter();

// Qt's own words for the last filter, so that its translations apply.
inline constexpr const char* kAllFilesFilter = "All Files (*)";

// Whether the file name ends in one of the video extensions of the input
// filter, in any letter case.
bool IsVideoFileName(const std::string& name);

inline constexpr const char* kOutputFileFilter = "AMV (*.amv)";
