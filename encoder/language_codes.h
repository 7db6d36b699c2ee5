#pragma once

#include <string_view>

// Whether two language tags name the same language, whichever of the usual
// spellings a file uses: Matroska writes "fre" or "ger", MP4 "fra" or "deu",
// and a subtitle file beside a film "fr" or "de". Letter case is ignored;
// tags of languages outside the common ones match only when spelt alike.
bool SameLanguage(std::string_view first, std::string_view second);
