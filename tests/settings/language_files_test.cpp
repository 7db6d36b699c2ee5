#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/LangDefaults.h"
#include "Inc/Prefs.h"
#include "settings/config.h"

namespace {

// The source tree holds the shipped Lang folder.
const std::string kSourceDir = MFLPX_SOURCE_DIR "/";

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The %1 ... %9 a text holds, sorted: a translation must show every value.
std::vector<std::string> Placeholders(const std::string& text) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') found.push_back(text.substr(i, 2));
  std::sort(found.begin(), found.end());
  return found;
}

TEST(ShippedLanguages, AreDiscoveredUnderTheirOwnNames) {
  AppState app;
  SetProgramDirectory(app, kSourceDir);
  ASSERT_TRUE(DiscoverLanguages(app));
  std::vector<std::string> names;
  for (const LanguageRecord& language : app.languages) names.push_back(language.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Deutsch", "Espa\xC3\xB1ol", "Fran\xC3\xA7" "ais",
                                             "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9"}));
}

TEST(ShippedLanguages, TranslateEveryKeyAndNothingElse) {
  AppState app;
  SetProgramDirectory(app, kSourceDir);
  ASSERT_TRUE(DiscoverLanguages(app));
  ASSERT_FALSE(app.languages.empty());
  for (const LanguageRecord& language : app.languages) {
    const std::string bytes = ReadBytes(language.file);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF") << language.file;
    std::optional<PrefsDocument> document = PrefsDocument::Open(language.file);
    ASSERT_TRUE(document);
    ASSERT_TRUE(document->SelectGroup("Data")) << language.file;
    for (const StringPair* pair = kBuiltInStrings + 1; std::string(pair->first) != "_END_"; ++pair) {
      const std::string text = document->ReadString(pair->first, "");
      EXPECT_NE(text, "") << language.file << " " << pair->first;
      EXPECT_EQ(Placeholders(text), Placeholders(pair->second)) << language.file << " " << pair->first;
    }

    // Every key in the file must be one the table knows, or its text would never show.
    LoadStringTable(language.file);
    std::istringstream lines(bytes);
    for (std::string text; std::getline(lines, text);) {
      if (text.rfind("s", 0) != 0) continue;
      const std::string key = text.substr(0, text.find(' '));
      EXPECT_NE(GetString("Data", key), "##### String not found! #####") << language.file << " " << key;
    }
  }
  LoadStringTable("");
}

// The menu entry speaks every shipped language too.
TEST(ShippedLanguages, NameTheMenuEntryInTheirOwnWords) {
  AppState app;
  SetProgramDirectory(app, kSourceDir);
  ASSERT_TRUE(DiscoverLanguages(app));
  const std::string entry = ReadBytes(kSourceDir + "resources/mflpx.desktop");
  for (const LanguageRecord& language : app.languages) {
    std::optional<PrefsDocument> document = PrefsDocument::Open(language.file);
    ASSERT_TRUE(document);
    ASSERT_TRUE(document->SelectGroup("MFLPXL"));
    const std::string code = document->ReadString("Code", "");
    ASSERT_FALSE(code.empty()) << language.file;
    for (const std::string key : {"Name", "GenericName", "Comment"})
      EXPECT_NE(entry.find("\n" + key + "[" + code + "]="), std::string::npos) << key << "[" << code << "]";
  }
}

}  // namespace
