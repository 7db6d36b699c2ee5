#include "Inc/Lang.h"

// Placeholder: replaced by the string table work.
void LoadStringTable(const std::string&) {}
std::string GetString(const std::string&, const std::string& key) { return key; }
