#include "app/language_code.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace {

TEST(LanguageCode, ReadFromTheLanguageFilesNameGroupWhenPlausible) {
  ScratchDir dir;
  struct Case {
    const char* file;
    const char* code;
  };
  const Case cases[] = {
      {"[MFLPXL]\nName = Deutsch\nCode = de\n", "de"},
      {"[mflpxl]\nname = Português\ncode =  pt_BR \n", "pt_BR"},
      {"[MFLPXL]\nName = Deutsch\n", ""},
      {"[Data]\nCode = de\n", ""},
      {"[MFLPXL]\nCode = ../../etc/x\n", ""},
      {"[MFLPXL]\nCode = d\n", ""},
      {"[MFLPXL]\nCode = de_\n", ""},
      {"[MFLPXL]\nCode = de-DE\n", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadLanguageCode(dir.Write("lang.ini", c.file)), c.code) << c.file;
  EXPECT_EQ(ReadLanguageCode(""), "");
  EXPECT_EQ(ReadLanguageCode(dir.Path("missing.ini")), "");
}

TEST(LanguageCode, EveryShippedLanguageNamesItsCode) {
  const std::string folder = MFLPX_SOURCE_DIR "/Lang/";
  for (const char* code : {"de", "es", "fr", "ru"})
    EXPECT_EQ(ReadLanguageCode(folder + code + ".ini"), code);
}

}  // namespace
