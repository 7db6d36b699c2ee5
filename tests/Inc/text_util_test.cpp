#include <gtest/gtest.h>

#include <cmath>

#include "Inc/TextUtil.h"
#include "comma_locale.h"

TEST(TextUtil, TrimRemovesSpacesOnly) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim(" \r\n"), "\r\n");
  EXPECT_EQ(Trim("    "), "");
}

TEST(TextUtil, FieldSplitsAtTheSeparatorsFirstCharacter) {
  EXPECT_EQ(Field("00:01:23.45", ":", 1), "00");
  EXPECT_EQ(Field("00:01:23.45", ":", 3), "23.45");
  EXPECT_EQ(Field("00:01:23.45", ":", 4), "");
  EXPECT_EQ(Field("00:01:23.45", ":", 0), "");
  EXPECT_EQ(Field("no separator", ",", 1), "no separator");
  EXPECT_EQ(Field("7.69 bitrate= 485", "bitrate=", 1), "7.69 ");
  EXPECT_EQ(Field("a,,b", ",", 2), "");
  EXPECT_EQ(Field("a,,b", ",", 3), "b");
  // Without a separator the whole text is the one field.
  EXPECT_EQ(Field("a,b", "", 1), "a,b");
  EXPECT_EQ(Field("a,b", "", 2), "");
}

TEST(TextUtil, RemoveTextCanIgnoreCase) {
  EXPECT_EQ(RemoveText("Duration: 00:01", "duration: ", true), "00:01");
  EXPECT_EQ(RemoveText("Duration: 00:01", "duration: ", false), "Duration: 00:01");
  EXPECT_EQ(RemoveText("aXbxc", "x", true), "abc");
}

TEST(TextUtil, DecimalValueReadsLeadingDigits) {
  EXPECT_EQ(DecimalValue(" \t-12abc"), -12);
  EXPECT_EQ(DecimalValue("+7"), 7);
  EXPECT_EQ(DecimalValue("abc"), 0);
  EXPECT_EQ(DecimalValue(""), 0);
  EXPECT_EQ(DecimalValue("99999999999"), 2147483647);
  EXPECT_EQ(DecimalValue("-99999999999"), -2147483647 - 1);
}

TEST(TextUtil, NumberValueReadsTheLongestDecimalPrefix) {
  EXPECT_FLOAT_EQ(NumberValue("23.45"), 23.45f);
  EXPECT_FLOAT_EQ(NumberValue("00"), 0.0f);
  EXPECT_FLOAT_EQ(NumberValue("00:00:07.69"), 0.0f);
  EXPECT_FLOAT_EQ(NumberValue("N/A"), 0.0f);
  EXPECT_FLOAT_EQ(NumberValue(""), 0.0f);
  EXPECT_FLOAT_EQ(NumberValue("1e2x"), 100.0f);
  EXPECT_FLOAT_EQ(NumberValue("5e"), 5.0f);
  EXPECT_FLOAT_EQ(NumberValue("0x10"), 0.0f);
  EXPECT_FLOAT_EQ(NumberValue("inf"), 0.0f);
  EXPECT_FLOAT_EQ(NumberValue(" -.5"), -0.5f);
  EXPECT_FLOAT_EQ(NumberValue("+2.5"), 2.5f);
  EXPECT_FLOAT_EQ(NumberValue("7."), 7.0f);
  EXPECT_TRUE(std::isinf(NumberValue("1e999")));
  EXPECT_FLOAT_EQ(NumberValue("1e-999"), 0.0f);
}

TEST(TextUtil, NumbersIgnoreTheLocalesDecimalComma) {
  const CommaLocale comma;
  ASSERT_TRUE(comma.Active());
  EXPECT_FLOAT_EQ(NumberValue("23.45"), 23.45f);
  EXPECT_FLOAT_EQ(NumberValue("23,45"), 23.0f);
  EXPECT_EQ(OneDecimalText(9.215), "9.2");
  EXPECT_EQ(OneDecimalText(0.25), "0.3");
}

TEST(TextUtil, CaseFoldingCoversTheWholeAlphabetOnly) {
  EXPECT_EQ(AsciiUpper("az AZ @[`{ 09 \xC3\xA9"), "AZ AZ @[`{ 09 \xC3\xA9");
  EXPECT_EQ(AsciiLower("AZ az @[`{ 09 \xC3\x89"), "az az @[`{ 09 \xC3\x89");
}

TEST(TextUtil, FoldersEndWithOneSlash) {
  EXPECT_EQ(WithTrailingSlash("/opt/mflpx"), "/opt/mflpx/");
  EXPECT_EQ(WithTrailingSlash("/opt/mflpx/"), "/opt/mflpx/");
  EXPECT_EQ(WithTrailingSlash(""), "/");
}

TEST(TextUtil, OneDecimalTextRoundsHalvesAwayFromZero) {
  EXPECT_EQ(OneDecimalText(9.2150), "9.2");
  EXPECT_EQ(OneDecimalText(0.25), "0.3");
  EXPECT_EQ(OneDecimalText(0.0), "0.0");
  EXPECT_EQ(OneDecimalText(100.44), "100.4");
  EXPECT_EQ(OneDecimalText(12345.65), "12345.7");
}
