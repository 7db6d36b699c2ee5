#pragma once

#include <string>
#include <vector>

// A message paragraph naming files: the text of headingKey, then the paths
// one a line; a list too long for a message box is cut short with "…".
std::string PathListText(const char* headingKey, const std::vector<std::string>& paths);
