#include "app/language_code.h"

#include <cctype>

#include "Inc/Prefs.h"
#include "Inc/TextUtil.h"

namespace {

// The code becomes part of a file name, so nothing but letters and one '_'
// may pass.
bool PlausibleCode(const std::string& code) {
  const auto underscore = code.find('_');
  const std::string language = code.substr(0, underscore);
  const std::string region = underscore == std::string::npos ? "" : code.substr(underscore + 1);
  if (language.size() < 2 || language.size() > 3) return false;
  if (underscore != std::string::npos && (region.size() < 2 || region.size() > 4)) return false;
  for (const std::string* part : {&language, &region})
    for (const char c : *part)
      if (!std::isalpha(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

std::string ReadLanguageCode(const std::string& languageFile) {
  if (languageFile.empty()) return {};
  std::optional<PrefsDocument> document = PrefsDocument::Open(languageFile);
  if (!document) return {};
  document->SelectGroup("MFLPXL");
  const std::string code = Trim(document->ReadString("Code", ""));
  return PlausibleCode(code) ? code : std::string();
}
