#pragma once

#include <initializer_list>
#include <string>

// Builds the string table from the built-in English texts, then applies the
// language file (full path; empty = English only). Always succeeds.
void LoadStringTable(const std::string& languageFile);

// The text of group/key (matched without regard to ASCII case), or exactly
// "##### String not found! #####".
std::string GetString(const std::string& group, const std::string& key);

// The interface text of key in group "Data", the group every caller uses.
inline std::string UiText(const std::string& key) { return GetString("Data", key); }

// `text` with each %1 ... %9 replaced by the value of that number, in one
// pass, so a value holding "%2" (a file name may) stays as it is. A % not
// followed by a digit of a given value is kept.
std::string FillPlaceholders(const std::string& text, std::initializer_list<std::string> values);

// The interface text of key with its placeholders filled. Numbers go in as
// IntToText or OneDecimalText write them, so every text shows them the same
// way: a point before one decimal, no grouping, "%" right after a percentage.
inline std::string UiText(const std::string& key, std::initializer_list<std::string> values) {
  return FillPlaceholders(UiText(key), values);
}
