#include <gtest/gtest.h>

#include "comma_locale.h"
#include "convert/encoder_output_parser.h"

namespace {

const std::string kDuration = "Duration: 00:01:23.45, start: 0.000000, bitrate: 1234 kb/s";
const std::string kProgress = "frame=  123 fps= 60 q=3.0 size=     456kB time=7.69 bitrate= 485.7kbits/s";

std::string Progress(const std::string& time) {
  return "frame=  123 fps= 60 q=3.0 size=     456kB time=" + time + " bitrate= 485.7kbits/s";
}

std::string Duration(const std::string& clock) {
  return "Duration: " + clock + ", start: 0.000000, bitrate: 1234 kb/s";
}

TEST(EncoderOutputParser, WorkedExample) {
  EncoderOutputParser parser;
  EXPECT_EQ(ParseEncoderLine(parser, kDuration), "0.0% ready");
  EXPECT_FLOAT_EQ(parser.duration, 83.45f);
  EXPECT_EQ(ParseEncoderLine(parser, kProgress), "9.2% ready");
  EXPECT_FLOAT_EQ(parser.time, 7.69f);
  EXPECT_EQ(ParseEncoderLine(parser, "Stream #0:0: Video: h264"), "9.2% ready")
      << "other lines keep the stored values and still yield the text";
}

TEST(EncoderOutputParser, HoursMinutesAndPastTheEnd) {
  EncoderOutputParser parser;
  ParseEncoderLine(parser, Duration("01:00:10.00"));
  EXPECT_FLOAT_EQ(parser.duration, 3610.0f);
  ParseEncoderLine(parser, Duration("00:00:10.00"));
  EXPECT_EQ(ParseEncoderLine(parser, Progress("10.04")), "100.0% ready") << "never past 100";
  ParseEncoderLine(parser, Duration("00:01:40.00"));
  EXPECT_EQ(ParseEncoderLine(parser, Progress("0.25")), "0.3% ready") << "halves round away from zero";
}

TEST(EncoderOutputParser, NothingBeforeTheTasksOwnDuration) {
  EncoderOutputParser parser;
  EXPECT_EQ(ParseEncoderLine(parser, kProgress), std::nullopt);
  EXPECT_EQ(ParseEncoderLine(parser, "Input #0, avi, from 'a.avi':"), std::nullopt);
  EXPECT_EQ(ParseEncoderLine(parser, kDuration), "9.2% ready");
}

TEST(EncoderOutputParser, UnknownDurationShowsTheTimeConvertedInstead) {
  EncoderOutputParser parser;
  EXPECT_EQ(ParseEncoderLine(parser, "Duration: N/A, start: 0.000000, bitrate: N/A"), std::nullopt);
  EXPECT_FLOAT_EQ(parser.duration, 0.0f);
  EXPECT_EQ(ParseEncoderLine(parser, "Stream #0:0: Video: h264"), std::nullopt) << "no time yet";
  EXPECT_EQ(ParseEncoderLine(parser, Progress("0.00")), "0:00:00");
  EXPECT_EQ(ParseEncoderLine(parser, kProgress), "0:00:07") << "not an infinite percentage";
  EXPECT_EQ(ParseEncoderLine(parser, Progress("3725.99")), "1:02:05");
  EXPECT_EQ(ParseEncoderLine(parser, Progress("00:10:00.50")), "0:10:00");
  EXPECT_EQ(ParseEncoderLine(parser, Progress("1e30")), "1000000:00:00");
  ParseEncoderLine(parser, Progress("4.00"));
  EXPECT_EQ(ParseEncoderLine(parser, Duration("00:00:20.00")), "20.0% ready") << "a known duration wins again";
}

// Absurd numbers never show as "inf% ready": one too large to hold keeps the
// stored value, and the percentage stays within 0 to 100.
TEST(EncoderOutputParser, AbsurdNumbersKeepThePercentageWithinBounds) {
  const struct {
    std::string duration;
    std::string time;
    std::string shown;
  } cases[] = {
      {"00:00:10.00", "1e39", "0.0% ready"},
      {"1e39", "5.00", "50.0% ready"},
      {"1e-40", "5.00", "100.0% ready"},
      {"00:00:10.00", "1e30", "100.0% ready"},
  };
  for (const auto& c : cases) {
    EncoderOutputParser parser;
    ParseEncoderLine(parser, Duration("00:00:10.00"));
    ParseEncoderLine(parser, Duration(c.duration));
    EXPECT_EQ(ParseEncoderLine(parser, Progress(c.time)), c.shown) << c.duration << " " << c.time;
  }
}

TEST(EncoderOutputParser, TimesBeforeTheStartCountAsZero) {
  EncoderOutputParser parser;
  ParseEncoderLine(parser, Duration("00:00:10.00"));
  EXPECT_EQ(ParseEncoderLine(parser, Progress("-0.00")), "0.0% ready");
  EXPECT_EQ(ParseEncoderLine(parser, Progress("-0.04")), "0.0% ready");
  EXPECT_EQ(ParseEncoderLine(parser, Progress("-00:00:05.00")), "0.0% ready") << "the sign covers the whole clock";
  EXPECT_EQ(ParseEncoderLine(parser, Duration("-00:00:10.00")), "0:00:00") << "a negative duration is unknown";
}

// The numbers are written with a point and read with a point whatever the
// locale says, as the encoder writes them.
TEST(EncoderOutputParser, ReadsAndWritesTheSameUnderADecimalCommaLocale) {
  const CommaLocale comma;
  ASSERT_TRUE(comma.Active());
  EncoderOutputParser parser;
  ParseEncoderLine(parser, kDuration);
  EXPECT_FLOAT_EQ(parser.duration, 83.45f);
  EXPECT_EQ(ParseEncoderLine(parser, kProgress), "9.2% ready");
  EXPECT_EQ(ParseEncoderLine(parser, Progress("10,5")), "12.0% ready") << "a comma ends the number";
}

TEST(EncoderOutputParser, ClockTimeInProgressLinesIsReadWhole) {
  EncoderOutputParser parser;
  ParseEncoderLine(parser, Duration("02:00:00.00"));
  EXPECT_EQ(ParseEncoderLine(parser, Progress("01:30:00.00")), "75.0% ready");
  EXPECT_EQ(ParseEncoderLine(parser, Progress("00:00:36.00")), "0.5% ready");
  EXPECT_EQ(ParseEncoderLine(parser, Progress("5400")), "75.0% ready");
}

TEST(EncoderOutputParser, LinesMissingAMarkerAreNotRead) {
  EncoderOutputParser parser;
  ParseEncoderLine(parser, kDuration);
  ParseEncoderLine(parser, "Duration: 00:00:01.00, bitrate: 1 kb/s");
  ParseEncoderLine(parser, "Duration: 00:00:01.00, start: 0.0");
  ParseEncoderLine(parser, "duration: 00:00:01.00, start: 0.0, bitrate: 1 kb/s");
  EXPECT_FLOAT_EQ(parser.duration, 83.45f);
  EXPECT_EQ(ParseEncoderLine(parser, "frame=  1 q=3.0 size= 1kB time=50.00 bitrate= 1.0kbits/s"), "0.0% ready");
  EXPECT_FLOAT_EQ(parser.time, 0.0f);
}

TEST(EncoderOutputParser, DurationWinsWhenBothKindsMatch) {
  EncoderOutputParser parser;
  ParseEncoderLine(parser, "Duration: 00:00:20.00, start: 0, bitrate: 9 kb/s frame= fps= time=5 bitrate=");
  EXPECT_FLOAT_EQ(parser.duration, 20.0f);
  EXPECT_FLOAT_EQ(parser.time, 0.0f);
}

TEST(EncoderOutputParser, RemovalOfTheDurationWordIgnoresCase) {
  EncoderOutputParser parser;
  ParseEncoderLine(parser, "duration: Duration: 00:00:40.00, start: 0.000000, bitrate: 1 kb/s");
  EXPECT_FLOAT_EQ(parser.duration, 40.0f);
}

}  // namespace
