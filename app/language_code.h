#pragma once

#include <string>

// The language code of a language file (group MFLPXL, key Code, such as
// "de" or "pt_BR"), which lets Qt's own texts follow the chosen language.
// Empty for a file without one, a file that cannot be opened, or a code
// that is not two or more letters, optionally with '_' and a region.
std::string ReadLanguageCode(const std::string& languageFile);
