#pragma once

#include <string>
#include <vector>

// The input files that paths given together (dropped on the task list or
// named on the command line) stand for: a file stands for itself, a folder
// for the video files inside it and its subfolders (by the input filter's
// extensions, in any letter case, in name order), leaving hidden folders and
// files out. A path where nothing exists stays, so that Accept can report it.
std::vector<std::string> ExpandInputPaths(const std::vector<std::string>& paths);
