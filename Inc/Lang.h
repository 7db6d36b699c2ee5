#pragma once

#include <string>

// Builds the string table from the built-in English texts, then applies the
// language file (full path; empty = English only). Always succeeds.
void LoadStringTable(const std::string& languageFile);

// The text of group/key (matched without regard to ASCII case), or exactly
// "##### String not found! #####".
std::string GetString(const std::string& group, const std::string& key);

// The interface text of key in group "Data", the group every caller uses.
inline std::string UiText(const std::string& key) { return GetString("Data", key); }
