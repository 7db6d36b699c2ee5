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

// The interface text of key with its placeholders filled. Whole numbers go in
// as IntToText, seconds as OneDecimalText and percentages as a whole number
// before the text's own "%", so every text shows numbers the same way.
inline std::string UiText(const std::string& key, std::initializer_list<std::string> values) {
  return FillPlaceholders(UiText(key), values);
}
