// Burned-in subtitles: text drawn at the output's size and never too small to
// read, picture subtitles scaled as the picture is, both shown exactly while
// they last, also in a part of the film; and how -subs and -subfile choose.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>

#include "encoder/input_media.h"
#include "encoder/subtitle_overlay.h"
#include "encoder_harness.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// A DVD subtitle unit (SPU): a `width` x `height` box of colour 1 at (x, y)
// on the film's canvas, opaque when `opaque`, shown for `ticks` x 1024/90000 s
// (0: until the next one).
std::string SubpictureUnit(int x, int y, int width, int height, bool opaque, int ticks) {
  std::string field[2];
  for (int row = 0; row < height; ++row) {
    // One run of the whole width (64 to 255 pixels): 16 bits, colour 1.
    const int code = width << 2 | 1;
    field[row % 2] += {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  }
  const auto word = [](int value) {
    return std::string{static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
  };
  const int right = x + width - 1, bottom = y + height - 1;
  const int controls = 4 + static_cast<int>(field[0].size() + field[1].size());
  const std::string commands =
      std::string{0x03, 0x00, 0x10, 0x04, 0x00, static_cast<char>(opaque ? 0xF0 : 0x00), 0x05} +
      std::string{
          static_cast<char>(x >> 4), static_cast<char>((x & 15) << 4 | right >> 8),  static_cast<char>(right & 0xFF),
          static_cast<char>(y >> 4), static_cast<char>((y & 15) << 4 | bottom >> 8), static_cast<char>(bottom & 0xFF)} +
      '\x06' + word(4) + word(4 + static_cast<int>(field[0].size())) + "\x01\xFF";
  const int stop = controls + 4 + static_cast<int>(commands.size());
  std::string body = field[0] + field[1] + word(0) + word(ticks > 0 ? stop : controls) + commands;
  if (ticks > 0) body += word(ticks) + word(stop) + "\x02\xFF";
  return word(4 + static_cast<int>(body.size())) + word(controls) + body;
}

// One MPEG program stream pack holding a subtitle unit stamped `pts` (90 kHz).
std::string SubtitlePack(int64_t pts, const std::string& unit) {
  const std::string pack = {0,
                            0,
                            1,
                            static_cast<char>(0xBA),
                            0x44,
                            0,
                            4,
                            0,
                            4,
                            1,
                            1,
                            static_cast<char>(0x89),
                            static_cast<char>(0xC3),
                            static_cast<char>(0xF8)};
  const std::string stamp = {static_cast<char>(0x21 | ((pts >> 29) & 0x0E)), static_cast<char>((pts >> 22) & 0xFF),
                             static_cast<char>(((pts >> 14) & 0xFE) | 1), static_cast<char>((pts >> 7) & 0xFF),
                             static_cast<char>(((pts << 1) & 0xFE) | 1)};
  const std::string body = std::string{static_cast<char>(0x81), static_cast<char>(0x80), 5} + stamp + '\x20' + unit;
  return pack + std::string{0,
                            0,
                            1,
                            static_cast<char>(0xBD),
                            static_cast<char>(body.size() >> 8),
                            static_cast<char>(body.size() & 0xFF)} +
         body;
}

class EncoderSubtitles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    const std::string srt = dir_->Write("english.srt",
                                        "1\n00:00:01,000 --> 00:00:02,000\nHELLO THERE\n\n"
                                        "2\n00:00:03,000 --> 00:00:04,000\nA SECOND LINE\n\n");
    // A small, bold, yellow line at the top: its style is kept but raised to the least legible size.
    const std::string ass = dir_->Write(
        "french.ass",
        "[Script Info]\nScriptType: v4.00+\nPlayResX: 384\nPlayResY: 288\n\n[V4+ Styles]\nFormat: Name, Fontname, "
        "Fontsize, PrimaryColour, Bold, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV\n"
        "Style: Top,DejaVu Sans,8,&H0000FFFF,1,1,0,0,8,10,10,10\n\n[Events]\n"
        "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
        "Dialogue: 0,0:00:01.00,0:00:02.00,Top,,0,0,0,,BONJOUR\n");
    const std::string grey = "-f lavfi -i color=c=gray:size=320x240:rate=25 -f lavfi -i sine=sample_rate=44100 ";
    // Pictures every 1.25 s: the lines begin and end while one is held over several frames.
    MakeClip("-f lavfi -i color=c=gray:size=320x240:rate=4/5 -f lavfi -i sine=sample_rate=44100 -i " + ShellQuote(srt) +
                 " -i " + ShellQuote(ass) +
                 " -t 5 -map 0 -map 1 -map 2 -map 3 -c:v mpeg4 -c:a aac -c:s copy"
                 " -metadata:s:s:0 language=eng -metadata:s:s:1 language=fre -disposition:s:1 default",
             dir_->Path("film.mkv"));
    MakeClip(grey + "-t 3 -c:v mpeg4 -c:a aac", dir_->Path("clip.mp4"));
    // Fragments of 4 s, each with its pictures first and its lines after them.
    MakeClip(grey + "-i " + ShellQuote(srt) +
                 " -t 5 -map 0 -map 1 -map 2 -c:v mpeg4 -g 100 -c:a aac -c:s mov_text"
                 " -movflags frag_keyframe+empty_moov",
             dir_->Path("fragments.mp4"));
    dir_->Write("clip.en.srt", ReadWholeFile(srt));
    // Lines from just before and just after the middle of the first frame's slot at 12 fps (41.7 ms).
    dir_->Write("early.srt", "1\n00:00:00,020 --> 00:00:02,000\nHELLO THERE\n\n");
    dir_->Write("later.srt", "1\n00:00:00,060 --> 00:00:02,000\nHELLO THERE\n\n");
    // A transparent unit at 0 keeps ffmpeg from moving the box's stamp to the start.
    dir_->Write("box.sub", SubtitlePack(0, SubpictureUnit(0, 0, 64, 2, false, 2)) +
                               SubtitlePack(90000, SubpictureUnit(260, 400, 200, 40, true, 0)) +
                               SubtitlePack(180000, SubpictureUnit(260, 40, 200, 40, true, 45000 / 1024)) +
                               std::string{0, 0, 1, static_cast<char>(0xB9)});
    for (const char* offset : {"0", "30"})
      MakeClip("-f lavfi -i color=c=gray:size=720x480:rate=25 -f lavfi -i sine=sample_rate=48000 -f mpeg -i " +
                   ShellQuote(dir_->Path("box.sub")) +
                   " -t 3 -map 0:v -map 1:a -map 2:s -c:v mpeg2video -c:a mp2 -c:s copy -f vob -output_ts_offset " +
                   offset,
               dir_->Path(std::string("dvd") + offset + ".mpg"));
    // Two recordings joined, the second one's clock starting anew: its time stamps are mended.
    dir_->Write("joined.mpg", ReadWholeFile(dir_->Path("dvd30.mpg")) + ReadWholeFile(dir_->Path("dvd0.mpg")));
  }
  static void TearDownTestSuite() { delete dir_; }

  // Converts `input` with `extra` arguments before the output; the run's stderr lands in `err`.
  static bool Convert(const std::string& input, const std::vector<std::string>& extra, const std::string& output,
                      std::string& err) {
    EncoderCall call;
    call.input = input;
    call.output = dir_->Path(output);
    std::remove(call.output.c_str());
    std::vector<std::string> arguments = call.Arguments();
    arguments.insert(arguments.end() - 1, extra.begin(), extra.end());
    const RunResult run = RunEncoder(arguments, *dir_);
    err = run.err;
    return run.exitCode == 0;
  }

  static ScratchDir* dir_;
};

ScratchDir* EncoderSubtitles::dir_ = nullptr;

// Pixels that differ clearly between two pictures, and the rows they lie in.
struct Changes {
  int pixels = 0;
  int firstRow = -1;
  int lastRow = -1;
};

Changes Compare(const std::vector<uint8_t>& with, const std::vector<uint8_t>& without) {
  Changes changes;
  for (int row = 0; row < kHeight; ++row)
    for (int column = 0; column < kWidth; ++column) {
      const size_t at = static_cast<size_t>(row) * kWidth + column;
      if (std::abs(with[at] - without[at]) <= 40) continue;
      ++changes.pixels;
      if (changes.firstRow < 0) changes.firstRow = row;
      changes.lastRow = row;
    }
  return changes;
}

TEST_F(EncoderSubtitles, TextShowsWhileItLastsAndStaysLegibleAtThePlayersSize) {
  struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> options;
    int frame;  // at 12 fps
    bool shown;
    bool atTop;
  };
  const std::string film = dir_->Path("film.mkv");
  const std::string clip = dir_->Path("clip.mp4");
  const std::string dvd = dir_->Path("dvd0.mpg");
  const Case cases[] = {
      {"before the first line", film, {"-subs", "1"}, 6, false, false},
      {"first line, from within a held picture", film, {"-subs", "eng"}, 13, true, false},
      {"first line ended, same picture held", film, {"-subs", "1"}, 27, false, false},
      {"second line", film, {"-subs", "1"}, 42, true, false},
      {"styled line at the top", film, {"-subs", "fr"}, 18, true, true},
      {"after the styled line", film, {"-subs", "fr"}, 30, false, false},
      // A part from 2 s: output frame n shows the source at 2 s + n / 12.
      {"part, between lines", film, {"-ss", "2", "-subs", "1"}, 6, false, false},
      {"part, second line", film, {"-ss", "2", "-subs", "1"}, 18, true, false},
      {"lines stored after their pictures", dir_->Path("fragments.mp4"), {"-subs", "1"}, 18, true, false},
      {"file beside the clip", clip, {"-subs", "en"}, 18, true, false},
      {"file named", clip, {"-subfile", dir_->Path("english.srt")}, 18, true, false},
      // A line belongs to the nearest frame, as a picture does.
      {"line starting within the first half frame", clip, {"-subfile", dir_->Path("early.srt")}, 0, true, false},
      {"line starting after the first half frame", clip, {"-subfile", dir_->Path("later.srt")}, 0, false, false},
      {"that line on the next frame", clip, {"-subfile", dir_->Path("later.srt")}, 1, true, false},
      // The film starts at 0.53 s of its own clock, and a subtitle file counts from there.
      {"file, film starting late, before", dvd, {"-subfile", dir_->Path("english.srt")}, 8, false, false},
      {"file, film starting late, shown", dvd, {"-subfile", dir_->Path("english.srt")}, 21, true, false},
  };
  // The same conversions without the subtitles, by input and options.
  std::map<std::string, std::string> plain;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::string> without(c.options.begin(), c.options.end() - 2);
    std::string err;
    std::string key = c.input;
    for (const std::string& option : without) key += " " + option;
    if (!plain.count(key)) {
      plain[key] = "plain" + std::to_string(plain.size()) + ".amv";
      ASSERT_TRUE(Convert(c.input, without, plain[key], err)) << err;
    }
    ASSERT_TRUE(Convert(c.input, c.options, "subtitled.amv", err)) << err;
    EXPECT_NE(err.find("  Subtitles: "), std::string::npos) << err;
    const auto frames = DecodeAllLuma(dir_->Path("subtitled.amv"), kWidth, kHeight);
    const auto plainFrames = DecodeAllLuma(dir_->Path(plain[key]), kWidth, kHeight);
    ASSERT_LT(static_cast<size_t>(c.frame), std::min(frames.size(), plainFrames.size()));
    const Changes changes = Compare(frames[static_cast<size_t>(c.frame)], plainFrames[static_cast<size_t>(c.frame)]);
    if (!c.shown) {
      EXPECT_EQ(changes.pixels, 0);
      continue;
    }
    EXPECT_GT(changes.pixels, 100);
    EXPECT_EQ(changes.lastRow < kHeight / 2, c.atTop) << changes.firstRow << "-" << changes.lastRow;
  }
}

// Capitals of white text over grey, measured on the preview's exact picture:
// at least 8 rows high however small the picture inside the pads, and in the
// bottom pad when there is one.
TEST_F(EncoderSubtitles, LettersKeepTheLeastHeightAndUseTheBottomPad) {
  struct Case {
    std::vector<std::string> options;
    int lowestTop;  // where the letters may begin at the earliest
  };
  const Case cases[] = {
      {{}, kHeight / 2},
      {{"-padtop", "25", "-padbottom", "25"}, kHeight - 25},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(number);
    const std::string picture = dir_->Path("letters" + std::to_string(number++) + ".ppm");
    std::vector<std::string> arguments = {
        "-i", dir_->Path("film.mkv"), "-subs", "1", "-preview", "1.5", "-s", "160x120", "-r", "12"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    arguments.push_back(picture);
    const RunResult run = RunEncoder(arguments, *dir_);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<uint8_t> luma = DecodeLuma(picture, 0, kWidth, kHeight);
    std::vector<int> rows;
    for (int row = 0; row < kHeight; ++row)
      if (std::any_of(luma.begin() + row * kWidth, luma.begin() + (row + 1) * kWidth,
                      [](uint8_t v) { return v > 190; }))
        rows.push_back(row);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(rows.back() - rows.front() + 1, 8);
    EXPECT_GE(rows.front(), c.lowestTop);
  }
}

TEST_F(EncoderSubtitles, APictureSubtitleShowsScaledWithinItsTime) {
  // A 200x40 box on the 720x480 canvas at (260, 400) from 1 s until the next
  // subtitle, which is another at (260, 40) from 2 s to 2.5 s; both go through
  // the crop as the picture does. Joined, the second recording shows them 3 s
  // (36 frames) later again.
  struct Case {
    const char* input;
    std::vector<std::string> crop;
    int lowTop, lowBottom, highTop, highBottom;
    std::vector<int> shifts;
  };
  const Case cases[] = {
      {"dvd0", {}, 100, 109, 10, 19, {0}},
      {"dvd0", {"-croptop", "25", "-cropbottom", "25"}, 104, 115, 4, 15, {0}},
      {"joined", {}, 100, 109, 10, 19, {0, 36}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> options = c.crop;
    const std::string input = dir_->Path(std::string(c.input) + ".mpg");
    std::string err;
    ASSERT_TRUE(Convert(input, options, "boxes-plain.amv", err)) << err;
    options.insert(options.end(), {"-subs", "1"});
    ASSERT_TRUE(Convert(input, options, "boxes.amv", err)) << err;
    const auto frames = DecodeAllLuma(dir_->Path("boxes.amv"), kWidth, kHeight);
    const auto plainFrames = DecodeAllLuma(dir_->Path("boxes-plain.amv"), kWidth, kHeight);
    ASSERT_EQ(frames.size(), plainFrames.size());
    struct Moment {
      int frame;
      int top, bottom;  // -1: nothing shown
    };
    const Moment moments[] = {{6, -1, -1},
                              {14, c.lowTop, c.lowBottom},
                              {22, c.lowTop, c.lowBottom},
                              {26, c.highTop, c.highBottom},
                              {32, -1, -1}};
    for (const int shift : c.shifts)
      for (const Moment& m : moments) {
        SCOPED_TRACE(std::string(c.input) + " frame " + std::to_string(m.frame + shift) +
                     (c.crop.empty() ? "" : " cropped"));
        ASSERT_LT(static_cast<size_t>(m.frame + shift), frames.size());
        const std::vector<uint8_t>& luma = frames[static_cast<size_t>(m.frame + shift)];
        const Changes changes = Compare(luma, plainFrames[static_cast<size_t>(m.frame + shift)]);
        if (m.top < 0) {
          EXPECT_EQ(changes.pixels, 0);
          continue;
        }
        EXPECT_NEAR(changes.firstRow, m.top, 1);
        EXPECT_NEAR(changes.lastRow, m.bottom, 1);
        // 44 columns, and the picture's own rounding at the edges.
        EXPECT_NEAR(changes.pixels, 44 * (m.bottom - m.top + 1) + 40, 80);
        EXPECT_GT(luma[(m.top + m.bottom) / 2 * kWidth + 80], 200);  // the middle of the box
      }
  }
}

TEST_F(EncoderSubtitles, AChoiceTheFileLacksIsToldAndABadOneFails) {
  struct Case {
    std::vector<std::string> options;
    bool converted;
    std::string line;
  };
  const std::string film = dir_->Path("film.mkv");
  const std::string missing = dir_->Path("missing.srt");
  const std::string notes = dir_->Write("notes.txt", "Just some notes,\nnothing timed.\n");
  const Case cases[] = {
      {{"-subs", "ger"}, true, "The file has no subtitles in language 'ger'; it is converted without subtitles."},
      {{"-subs", "3"}, false, film + ": The file has 2 subtitle tracks; there is no subtitle track 3."},
      {{"-subfile", missing}, false, missing + ": the subtitle file cannot be read (No such file or directory)."},
      {{"-subfile", notes},
       false,
       notes + ": the subtitle file cannot be read (Invalid data found when processing input)."},
      {{"-subs", "english"},
       false,
       "Option '-subs' takes a subtitle track number from 1 or a language such as eng, not 'english'."},
      {{"-subs", "1", "-subfile", missing}, false, "Give either -subs or -subfile: one set of subtitles is burned in."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::string err;
    EXPECT_EQ(Convert(film, c.options, "choice.amv", err), c.converted) << err;
    const std::vector<std::string> lines = Lines(err);
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.line), lines.end()) << err;
    EXPECT_EQ(FileExists(dir_->Path("choice.amv")), c.converted);
    std::remove(dir_->Path("choice.amv").c_str());
  }
}

// A line's colour reaches the player's frame: red letters stay red over the grey picture.
TEST_F(EncoderSubtitles, TextKeepsItsColour) {
  const std::string redLine = dir_->Write(
      "red.ass",
      "[Script Info]\nScriptType: v4.00+\nPlayResX: 384\nPlayResY: 288\n\n[V4+ Styles]\nFormat: Name, Fontname, "
      "Fontsize, PrimaryColour, Bold, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV\n"
      "Style: Red,DejaVu Sans,48,&H000000FF,1,1,0,0,2,10,10,10\n\n[Events]\n"
      "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
      "Dialogue: 0,0:00:00.00,0:00:03.00,Red,,0,0,0,,MMMM\n");
  std::string err;
  ASSERT_TRUE(Convert(dir_->Path("clip.mp4"), {"-subfile", redLine}, "red.amv", err)) << err;
  const std::string rgb = Capture("ffmpeg -nostdin -v error -i " + ShellQuote(dir_->Path("red.amv")) +
                                  " -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
  ASSERT_EQ(rgb.size(), static_cast<size_t>(kWidth) * kHeight * 3);
  // The strongly coloured pixels, on average: red, with little green or blue.
  int coloured = 0;
  int64_t red = 0, green = 0, blue = 0;
  for (size_t at = 0; at < rgb.size(); at += 3) {
    const int r = static_cast<uint8_t>(rgb[at]), g = static_cast<uint8_t>(rgb[at + 1]);
    const int b = static_cast<uint8_t>(rgb[at + 2]);
    if (std::max({r, g, b}) - std::min({r, g, b}) < 100) continue;
    ++coloured;
    red += r;
    green += g;
    blue += b;
  }
  EXPECT_GT(coloured, 100);
  EXPECT_LT(green * 5, red);
  EXPECT_LT(blue * 5, red);
}

// The track reaches the overlay as a stream number of the film, read anew
// from the file: one past its last stream, or one of a codec FFmpeg does not
// know, is refused with its reason.
TEST_F(EncoderSubtitles, OpeningRefusesAStreamThatIsNoSubtitleItCanDraw) {
  const std::string film = dir_->Path("film.mkv");
  const std::string unknown = dir_->Path("unknown.mkv");
  MakeClip("-f lavfi -i color=c=gray:size=320x240:rate=25 -i " + ShellQuote(dir_->Path("english.srt")) +
               " -t 1 -map 0 -map 1 -c:v mpeg4 -c:s copy -write_crc32 0",
           unknown);
  std::string bytes = ReadWholeFile(unknown);
  const size_t codec = bytes.find("S_TEXT/UTF8");
  ASSERT_NE(codec, std::string::npos);
  dir_->Write("unknown.mkv", bytes.replace(codec, 11, "S_TEXT/XXXX"));
  struct Case {
    std::string path;
    int streamIndex;
    std::string failure;
  };
  const Case cases[] = {
      {film, 4, film + ": no subtitles could be found in it."},  // video, sound and two subtitle tracks
      {unknown, 1, unknown + ": subtitles of codec 'none' cannot be burned in."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failure);
    InputMedia media;
    ASSERT_EQ(media.Open(c.path), std::nullopt);
    SubtitleOverlay overlay;
    EXPECT_EQ(overlay.Open({c.path, c.streamIndex, "track"}, media, kWidth, kHeight), c.failure);
  }
}

}  // namespace

namespace {

// `text` with every `from` replaced, in ASCII and in UTF-16BE as a font's name table holds it.
std::string Renamed(std::string text, const std::string& from, const std::string& to) {
  const auto wide = [](const std::string& ascii) {
    std::string out;
    for (char c : ascii) out += {'\0', c};
    return out;
  };
  for (const auto& [old, now] : {std::pair{from, to}, std::pair{wide(from), wide(to)}})
    for (size_t at = text.find(old); at != std::string::npos; at = text.find(old, at + now.size()))
      text.replace(at, old.size(), now);
  return text;
}

}  // namespace

// A font the film carries is the one its lines are drawn with, though the
// system knows no font of that name: the same letters as from the system's
// copy of the font.
TEST_F(EncoderSubtitles, LinesAreDrawnWithTheFontTheFilmCarries) {
  const std::string mono = ReadWholeFile("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
  ASSERT_FALSE(mono.empty());
  const std::string carried = dir_->Write("carried.ttf", Renamed(mono, "DejaVu Sans Mono", "Mflpx Carried Mo"));
  std::vector<std::vector<uint8_t>> frames;
  for (const char* font : {"Mflpx Carried Mo", "DejaVu Sans Mono"}) {
    SCOPED_TRACE(font);
    const std::string name = std::string(font).substr(0, 5);
    const std::string script = dir_->Write(
        name + ".ass",
        "[Script Info]\nScriptType: v4.00+\nPlayResX: 384\nPlayResY: 288\n\n[V4+ Styles]\nFormat: Name, Fontname, "
        "Fontsize, PrimaryColour, Bold, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV\n"
        "Style: Wide," + std::string(font) + ",40,&H00FFFFFF,0,1,0,0,2,10,10,10\n\n[Events]\n"
        "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
        "Dialogue: 0,0:00:00.00,0:00:02.00,Wide,,0,0,0,,iiiWWW\n");
    MakeClip("-f lavfi -i color=c=black:size=320x240:rate=25 -i " + ShellQuote(script) + " -attach " +
                 ShellQuote(carried) + " -metadata:s:t mimetype=application/x-truetype-font -t 1 -map 0 -map 1 "
                 "-c:v mpeg4 -c:s copy",
             dir_->Path(name + ".mkv"));
    std::string err;
    ASSERT_TRUE(Convert(dir_->Path(name + ".mkv"), {"-subs", "1"}, name + ".amv", err)) << err;
    frames.push_back(DecodeLuma(dir_->Path(name + ".amv"), 0, kWidth, kHeight));
  }
  ASSERT_EQ(frames[0].size(), frames[1].size());
  EXPECT_GT(std::count_if(frames[1].begin(), frames[1].end(), [](uint8_t y) { return y > 128; }), 100)
      << "the line shows";
  EXPECT_EQ(frames[0], frames[1]);
}
