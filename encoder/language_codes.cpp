#include "encoder/language_codes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace {

// Two-letter code, bibliographic and terminological three-letter codes (the
// two are equal for most languages).
struct LanguageCodes {
  std::string_view two;
  std::string_view bibliographic;
  std::string_view terminological;
};

constexpr std::array<LanguageCodes, 48> kLanguages = {{
    {"ar", "ara", "ara"}, {"bg", "bul", "bul"}, {"ca", "cat", "cat"}, {"cs", "cze", "ces"}, {"da", "dan", "dan"},
    {"de", "ger", "deu"}, {"el", "gre", "ell"}, {"en", "eng", "eng"}, {"es", "spa", "spa"}, {"et", "est", "est"},
    {"eu", "baq", "eus"}, {"fa", "per", "fas"}, {"fi", "fin", "fin"}, {"fr", "fre", "fra"}, {"ga", "gle", "gle"},
    {"he", "heb", "heb"}, {"hi", "hin", "hin"}, {"hr", "hrv", "hrv"}, {"hu", "hun", "hun"}, {"hy", "arm", "hye"},
    {"id", "ind", "ind"}, {"is", "ice", "isl"}, {"it", "ita", "ita"}, {"ja", "jpn", "jpn"}, {"ka", "geo", "kat"},
    {"ko", "kor", "kor"}, {"lt", "lit", "lit"}, {"lv", "lav", "lav"}, {"mk", "mac", "mkd"}, {"ms", "may", "msa"},
    {"nl", "dut", "nld"}, {"no", "nor", "nor"}, {"pl", "pol", "pol"}, {"pt", "por", "por"}, {"ro", "rum", "ron"},
    {"ru", "rus", "rus"}, {"sk", "slo", "slk"}, {"sl", "slv", "slv"}, {"sq", "alb", "sqi"}, {"sr", "srp", "srp"},
    {"sv", "swe", "swe"}, {"th", "tha", "tha"}, {"tr", "tur", "tur"}, {"uk", "ukr", "ukr"}, {"vi", "vie", "vie"},
    {"zh", "chi", "zho"}, {"cy", "wel", "cym"}, {"bo", "tib", "bod"},
}};

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower;
}

const LanguageCodes* Find(const std::string& tag) {
  const auto found = std::find_if(kLanguages.begin(), kLanguages.end(), [&](const LanguageCodes& codes) {
    return tag == codes.two || tag == codes.bibliographic || tag == codes.terminological;
  });
  return found == kLanguages.end() ? nullptr : &*found;
}

}  // namespace

bool SameLanguage(std::string_view first, std::string_view second) {
  const std::string a = Lower(first);
  const std::string b = Lower(second);
  if (a.empty() || b.empty()) return false;
  if (a == b) return true;
  const LanguageCodes* codes = Find(a);
  return codes && codes == Find(b);
}
