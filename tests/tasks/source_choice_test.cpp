// What the encoder's -probe tells of a source, and the part a task names.

#include <gtest/gtest.h>

#include "Inc/Lang.h"
#include "tasks/part_check.h"
#include "tasks/source_tracks.h"

namespace {

TEST(SourceTracks, ReadsTrackAndDurationLinesAndTitlesAndNamesWithCommas) {
  SourceTracks source;
  for (const char* line : {
           "Input #0, matroska,webm, from 'film, part 1.mkv':",
           "  Duration: 01:02:03.50, start: 0.000000, bitrate: 252 kb/s",
           "  Stream #0:1(eng): Audio: aac, 44100 Hz, stereo",
           "Sound track 1: stream 1, language eng, codec aac, default no",
           "Sound track 2: stream 2, language jpn, codec ac3, default yes, title Commentary, director, 2004",
           "Subtitle track 1: stream 3, language und, codec ass, default no, title ",
           "Subtitle file 1: language en, codec subrip, name film, part 1.en.srt",
           "Sound track 3: stream 4, language eng, codec aac, default maybe",
           "Sound track x: stream 4, language eng, codec aac, default no",
           "Subtitle file 2: language en, codec subrip, name ",
       })
    ReadProbeLine(source, line);
  EXPECT_DOUBLE_EQ(source.durationSeconds, 3723.5);
  ASSERT_EQ(source.tracks.size(), 4u);
  const SourceTrack& second = source.tracks[1];
  EXPECT_EQ(second.kind, TrackKind::Sound);
  EXPECT_EQ(second.number, 2);
  EXPECT_EQ(second.language, "jpn");
  EXPECT_EQ(second.codec, "ac3");
  EXPECT_TRUE(second.isDefault);
  EXPECT_EQ(second.title, "Commentary, director, 2004");
  EXPECT_FALSE(source.tracks[0].isDefault);
  EXPECT_EQ(source.tracks[0].title, "");
  EXPECT_EQ(source.tracks[2].kind, TrackKind::Subtitle);
  EXPECT_EQ(source.tracks[2].language, "und");
  const SourceTrack& file = source.tracks[3];
  EXPECT_EQ(file.kind, TrackKind::SubtitleFile);
  EXPECT_EQ(file.language, "en");
  EXPECT_EQ(file.codec, "subrip");
  EXPECT_EQ(file.name, "film, part 1.en.srt");

  SourceTracks unknown;
  ReadProbeLine(unknown, "  Duration: N/A, start: N/A, bitrate: N/A");
  EXPECT_EQ(unknown.durationSeconds, -1);
}

TEST(PartCheck, TellsWhatIsWrongWithFromAndTo) {
  LoadStringTable("");
  const std::string unreadable = "cannot be read";
  const struct {
    const char* from;
    const char* to;
    double duration;
    std::string problem;  // a part of the message; empty: none
  } cases[] = {
      {"", "", -1, ""},
      {"0:10:00", "0:15:00", 3600, ""},
      {"75.5", "", 76, ""},
      {"", "0:00:31", 30.02, ""},  // the second the source ends in
      {"10:00", "", -1, ""},
      {"0:1:60", "", -1, "The time '0:1:60' cannot be read."},
      {"", "-5", -1, "The time '-5' cannot be read."},
      {"soon", "later", -1, "'soon'"},
      {"0:15:00", "0:10:00", -1, "'To' must be later than the time in 'From'"},
      {"0:10:00", "0:10:00", -1, "must be later"},
      {"0:00:30", "", 30, "The video lasts 0:00:30, so the part cannot start at 0:00:30."},
      {"", "0:00:32", 30.02, "The video lasts 0:00:30, so the part cannot end at 0:00:32."},
      {"0:00:01", "", 0.4, "so the part cannot start at 0:00:01."},  // under a second is still known
  };
  for (const auto& c : cases) {
    const std::string problem = PartProblem(c.from, c.to, c.duration);
    if (c.problem.empty())
      EXPECT_EQ(problem, "") << c.from << " " << c.to;
    else
      EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
  }
}

}  // namespace
