#pragma once

#include <string>

// Appends one line to the activity log while LogActions is exactly 1.
void AddLogLine(const std::string& text);
void SaveLog();
void ClearLog();
