#include "settings/prefs.h"

// Placeholder: replaced by the preferences work.
bool PrefsCreate(const std::string&) { return false; }
bool PrefsOpen(const std::string&) { return false; }
bool PrefsSelectGroup(const std::string&) { return false; }
std::string PrefsReadString(const std::string&, const std::string& defaultText) { return defaultText; }
void PrefsWriteString(const std::string&, const std::string&) {}
void PrefsClose() {}
