// Choosing what of a source goes in: the probe lists its sound and subtitle
// tracks and the subtitle files beside it, and -sound picks the track that
// is converted, by number or by language.

#include <gtest/gtest.h>

#include "encoder/language_codes.h"
#include "encoder/track_choice.h"
#include "encoder_harness.h"

namespace {

class EncoderSourceChoice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    dir_->Write("english.srt", "1\n00:00:01,000 --> 00:00:02,000\nHello\n\n");
    dir_->Write("french.ass",
                "[Script Info]\nScriptType: v4.00+\n\n[V4+ Styles]\nFormat: Name, Fontname, Fontsize\n"
                "Style: Default,DejaVu Sans,20\n\n[Events]\nFormat: Layer, Start, End, Style, Text\n"
                "Dialogue: 0,0:00:01.00,0:00:02.00,Default,{\\b1}Bonjour\n");
    // Two tones tell the sound tracks apart; the second is the default.
    MakeClip(
        "-f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 "
        "-f lavfi -i sine=frequency=1000:sample_rate=44100 -i " +
            ShellQuote(dir_->Path("english.srt")) + " -i " + ShellQuote(dir_->Path("french.ass")) +
            " -t 3 -map 0 -map 1 -map 2 -map 3 -map 4 -c:v mpeg4 -c:a aac -c:s copy"
            " -metadata:s:a:0 language=eng -metadata:s:a:1 language=jpn -metadata:s:a:1 'title=Dub, Tokyo'"
            " -metadata:s:s:0 language=eng -metadata:s:s:1 language=fre"
            " -disposition:a:0 0 -disposition:a:1 default -disposition:s:0 default -disposition:s:1 0",
        Film());
  }
  static void TearDownTestSuite() { delete dir_; }

  static std::string Film() { return dir_->Path("film.mkv"); }

  static ScratchDir* dir_;
};

ScratchDir* EncoderSourceChoice::dir_ = nullptr;

// The tone of a stretch of sound, in Hz, from its zero crossings.
double Tone(const std::vector<int16_t>& samples, size_t from, size_t to) {
  int crossings = 0;
  for (size_t i = from + 1; i < to; ++i) crossings += (samples[i - 1] < 0) != (samples[i] < 0);
  return crossings / 2.0 / (double(to - from) / 22050);
}

TEST_F(EncoderSourceChoice, ProbeListsTheTracksAndTheSubtitleFilesBesideTheFilm) {
  for (const char* name : {"film.srt", "film.en.srt", "film.Fr.forced.ASS", "film.ssa", "film.vtt", "film.txt",
                           "films.srt", "other.srt", "film.en.srt.bak", "film.\nSound track 9.srt"})
    dir_->Write(name, "");
  const RunResult run = RunEncoder(std::vector<std::string>{"-probe", Film()}, *dir_);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<std::string> tracks;
  for (const std::string& line : Lines(run.err))
    if (line.rfind("Sound ", 0) == 0 || line.rfind("Subtitle ", 0) == 0) tracks.push_back(line);
  const std::vector<std::string> expected = {
      "Sound track 1: stream 1, language eng, codec aac, default no",
      "Sound track 2: stream 2, language jpn, codec aac, default yes, title Dub, Tokyo",
      "Subtitle track 1: stream 3, language eng, codec subrip, default yes",
      "Subtitle track 2: stream 4, language fre, codec ass, default no",
      "Subtitle file 1: language fr, codec ass, name film.Fr.forced.ASS",
      "Subtitle file 2: language en, codec subrip, name film.en.srt",
      "Subtitle file 3: language und, codec subrip, name film.srt",
      "Subtitle file 4: language und, codec ass, name film.ssa",
      "Subtitle file 5: language und, codec webvtt, name film.vtt",
  };
  EXPECT_EQ(tracks, expected) << run.err;
  EXPECT_NE(run.err.find("  Duration: 00:00:03.0"), std::string::npos) << run.err;

  const RunResult missing = RunEncoder(std::vector<std::string>{"-probe", dir_->Path("missing.mkv")}, *dir_);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(Lines(missing.err).size(), 1u) << missing.err;
}

// The tone of the sound converted with `choice` ("" for none), or -1 after a failure.
double ConvertedTone(const EncoderCall& call, const std::string& choice, const ScratchDir& dir, std::string& err) {
  std::vector<std::string> arguments = call.Arguments();
  if (!choice.empty()) arguments.insert(arguments.begin() + 2, {"-sound", choice});
  const RunResult run = RunEncoder(arguments, dir);
  err = run.err;
  if (run.exitCode != 0) return -1;
  const std::vector<int16_t> sound = DecodeSound(call.output);
  if (sound.size() < 2u * 22050) return -1;
  return Tone(sound, 22050 / 2, 2 * 22050);
}

TEST_F(EncoderSourceChoice, TheChosenSoundTrackIsTheOneConverted) {
  EncoderCall call;
  call.input = Film();
  call.output = dir_->Path("sound-default.amv");
  std::string err;
  const double byDefault = ConvertedTone(call, "", *dir_, err);
  ASSERT_GT(byDefault, 0) << err;
  struct Case {
    const char* choice;
    double tone;  // 0: the default track's
    bool note;
  };
  const Case cases[] = {
      {"1", 440, false}, {"2", 1000, false}, {"eng", 440, false}, {"ja", 1000, false}, {"ger", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choice);
    call.output = dir_->Path(std::string("sound-") + c.choice + ".amv");
    EXPECT_NEAR(ConvertedTone(call, c.choice, *dir_, err), c.tone > 0 ? c.tone : byDefault, 20) << err;
    EXPECT_EQ(err.find("no sound track in language") != std::string::npos, c.note) << err;
  }

  call.output = dir_->Path("sound-3.amv");
  EXPECT_EQ(ConvertedTone(call, "3", *dir_, err), -1);
  EXPECT_EQ(Lines(err), std::vector<std::string>{Film() + ": The file has 2 sound tracks; there is no sound track 3."});
  EXPECT_FALSE(FileExists(call.output));
}

TEST(TrackChoice, ReadsANumberOrALanguageAndMatchesEverySpellingOfIt) {
  for (const char* refused : {"0", "-1", "", "e", "engl", "en1", "1x"})
    EXPECT_FALSE(ReadTrackChoice(refused)) << refused;
  EXPECT_EQ(ReadTrackChoice("12")->number, 12);
  EXPECT_EQ(ReadTrackChoice("Fre")->language, "Fre");

  struct Case {
    const char* first;
    const char* second;
    bool same;
  };
  const Case cases[] = {
      {"fre", "fra", true}, {"FR", "fre", true}, {"de", "ger", true},    {"zho", "chi", true}, {"eng", "eng", true},
      {"xyz", "XYZ", true}, {"en", "fr", false}, {"ger", "deu ", false}, {"", "", false},      {"und", "eng", false},
  };
  for (const Case& c : cases) EXPECT_EQ(SameLanguage(c.first, c.second), c.same) << c.first << " " << c.second;

  // Of two tracks in the language, the default-flagged one, wherever it stands.
  std::vector<Track> tracks(3);
  tracks[0].language = "eng";
  tracks[1].language = "fre";
  tracks[2].language = "en";
  for (const int flagged : {0, 2}) {
    tracks[0].isDefault = flagged == 0;
    tracks[2].isDefault = flagged == 2;
    TrackPick pick;
    ASSERT_FALSE(PickTrack(tracks, {0, "eng"}, "sound", pick));
    EXPECT_EQ(pick.track, &tracks[flagged]);
  }
}

}  // namespace
