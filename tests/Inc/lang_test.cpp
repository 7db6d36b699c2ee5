#include "Inc/Lang.h"

#include <gtest/gtest.h>

#include <string>

#include "Inc/LangDefaults.h"
#include "scratch_dir.h"

namespace {

const std::string kNotFound = "##### String not found! #####";

std::string Key(int number) { return "s" + std::to_string(number); }

TEST(StringTable, BuiltInTableHoldsOneGroupInNumberOrderStartingWithTheClassic108Keys) {
  EXPECT_STREQ(kBuiltInStrings[0].first, "_GROUP_");
  EXPECT_STREQ(kBuiltInStrings[0].second, "Data");
  int count = 0;
  int previous = 0;
  for (const StringPair* pair = kBuiltInStrings + 1; std::string(pair->first) != "_END_"; ++pair) {
    const int number = std::stoi(std::string(pair->first).substr(1));
    EXPECT_EQ(Key(number), pair->first);
    EXPECT_GT(number, previous);
    EXPECT_NE(number, 52);
    EXPECT_NE(std::string(pair->second), "");
    previous = number;
    if (number <= 109) ++count;
  }
  EXPECT_EQ(count, 108);
  EXPECT_GT(previous, 109);
}

TEST(StringTable, FindsEveryBuiltInKeyAndNothingElse) {
  LoadStringTable("");
  for (const StringPair* pair = kBuiltInStrings + 1; std::string(pair->first) != "_END_"; ++pair)
    EXPECT_EQ(GetString("Data", pair->first), pair->second) << pair->first;
  EXPECT_EQ(GetString("Data", "s49"), "MFLPX Settings");
  for (const std::string key : {"s52", "s99999", "s0", "s", "", "s1 ", "s01", "t1"})
    EXPECT_EQ(GetString("Data", key), kNotFound) << key;
}

TEST(StringTable, KeysSharingAPrefixAreAllFound) {
  LoadStringTable("");
  EXPECT_EQ(GetString("Data", "s1"), "Error");
  EXPECT_EQ(GetString("Data", "s10"), "Input/Output files");
  EXPECT_EQ(GetString("Data", "s100"), "Are you sure you want to quit Marrowind Flickpress?");
  EXPECT_EQ(GetString("Data", "s105"), "Conversion finished...");
  EXPECT_EQ(GetString("Data", "s109"), "Success");
  EXPECT_EQ(GetString("Data", "s11"), "Input:");
  EXPECT_EQ(GetString("Data", "s19"), "Current: Not modified");
}

TEST(StringTable, GroupAndKeyMatchWithoutRegardToAsciiCase) {
  LoadStringTable("");
  EXPECT_EQ(GetString("data", "S1"), "Error");
  EXPECT_EQ(GetString("DATA", "s51"), "Log actions");
  // A miss on another group must not stick to the next look-up.
  EXPECT_EQ(GetString("Other", "s1"), kNotFound);
  EXPECT_EQ(GetString("", "s1"), kNotFound);
  EXPECT_EQ(GetString("Data", "s1"), "Error");
  // Only ASCII letters fold: the UTF-8 bytes of other letters stay as they are.
  EXPECT_EQ(GetString("D\xC3\x81TA", "s1"), kNotFound);
}

TEST(StringTable, LanguageFileReplacesOnlyTheKeysItHolds) {
  ScratchDir dir;
  LoadStringTable(dir.Write("one.ini", "[Data]\r\ns3 = Info\r\n"));
  EXPECT_EQ(GetString("Data", "s3"), "Info");
  for (const StringPair* pair = kBuiltInStrings + 1; std::string(pair->first) != "_END_"; ++pair) {
    if (std::string(pair->first) == "s3") continue;
    EXPECT_EQ(GetString("Data", pair->first), pair->second);
  }

  LoadStringTable(dir.Write("cases.ini", "[data]\nS4 =\nS5 =  \t padded \t \ns99999 = extra\n[Other]\ns6 = no\n"));
  EXPECT_EQ(GetString("Data", "s4"), "");
  EXPECT_EQ(GetString("Data", "s5"), "padded");
  EXPECT_EQ(GetString("Data", "s6"), "Add video file");
  EXPECT_EQ(GetString("Data", "s99999"), kNotFound);
  EXPECT_EQ(GetString("Other", "s6"), kNotFound);
}

TEST(StringTable, UnusableLanguageFileLeavesEnglish) {
  ScratchDir dir;
  LoadStringTable(dir.Write("t.ini", "[Data]\ns3 = Info\n"));
  LoadStringTable(dir.Path("missing.ini"));
  EXPECT_EQ(GetString("Data", "s3"), "About");
  LoadStringTable(dir.Write("nodata.ini", "[MFLPXL]\nName = X\ns3 = Info\n"));
  EXPECT_EQ(GetString("Data", "s3"), "About");
  LoadStringTable(dir.Dir());
  EXPECT_EQ(GetString("Data", "s3"), "About");
}

TEST(StringTable, Utf8LanguageFileTextsArriveAsTheyStand) {
  ScratchDir dir;
  const std::string russian = "\xD0\x9E \xD0\xBF\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD0\xB5";
  LoadStringTable(dir.Write("ru.ini", "\xEF\xBB\xBF[Data]\ns3 = " + russian + "\ns4 = bad\xFF\n"));
  EXPECT_EQ(GetString("Data", "s3"), russian);
  EXPECT_EQ(GetString("Data", "s4"), "");
  LoadStringTable(dir.Write("plain.ini", "[Data]\ns3 = " + russian + "\n"));
  EXPECT_EQ(GetString("Data", "s3"), russian);
}

TEST(FillPlaceholders, PutsEachValueInItsPlaceOnce) {
  const struct {
    std::string text;
    std::string filled;
  } cases[] = {
      {"%1 of %2", "a%2 of b"},          // a value's own %2 stays
      {"%2 before %1", "b before a%2"},  // order follows the text
      {"%1%", "a%2%"},                   // a percent sign after a placeholder
      {"100% %3 %0 %", "100% %3 %0 %"},  // no such value: kept as written
      {"%1%1", "a%2a%2"},
  };
  for (const auto& c : cases) EXPECT_EQ(FillPlaceholders(c.text, {"a%2", "b"}), c.filled) << c.text;
  EXPECT_EQ(FillPlaceholders("%9 %1", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}), "9 1");
  EXPECT_EQ(FillPlaceholders("%:", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}), "%:");
}

}  // namespace
