#include "app/activity_log.h"

// Placeholder: replaced by the activity log work.
void AddLogLine(const std::string&) {}
void SaveLog() {}
void ClearLog() {}
