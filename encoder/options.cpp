#include "encoder/options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <optional>

#include "Inc/AmvFormats.h"
#include "Inc/MomentText.h"

namespace {

std::optional<int> ReadInteger(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string ListSizes() {
  std::string list;
  for (const AmvFrameSize& size : kAmvFrameSizes) {
    if (!list.empty()) list += ", ";
    list += std::to_string(size.width) + "x" + std::to_string(size.height);
  }
  return list;
}

std::string ReadFrameSize(const std::string& text, EncoderOptions& options) {
  const auto cross = text.find('x');
  std::optional<int> width, height;
  if (cross != std::string::npos) {
    width = ReadInteger(text.substr(0, cross));
    height = ReadInteger(text.substr(cross + 1));
  }
  if (!width || !height) return "Invalid frame size '" + text + "' for option '-s'.";
  const bool known = std::any_of(kAmvFrameSizes.begin(), kAmvFrameSizes.end(), [&](const AmvFrameSize& s) {
    return s.width == *width && s.height == *height;
  });
  // Any size but a player's screen gives a picture the player cannot show.
  if (!known) return "Frame size " + text + " is not an AMV player size; use one of " + ListSizes() + ".";
  options.width = *width;
  options.height = *height;
  return {};
}

std::string ReadFrameRate(const std::string& text, EncoderOptions& options) {
  const std::optional<int> rate = ReadInteger(text);
  if (!rate) return "Invalid frame rate '" + text + "' for option '-r'.";
  if (std::find(kAmvFrameRates.begin(), kAmvFrameRates.end(), *rate) == kAmvFrameRates.end())
    return "Frame rate " + text + " is not an AMV rate; use 10, 12 or 16.";
  options.fps = *rate;
  return {};
}

// An integer option whose value must lie in [low, high].
std::function<std::string(const std::string&, EncoderOptions&)> Ranged(const std::string& name, int low,
                                                                          int high, int EncoderOptions::*field) {
  return [=](const std::string& text, EncoderOptions& options) -> std::string {
    const std::optional<int> value = ReadInteger(text);
    if (!value) return "Invalid value '" + text + "' for option '" + name + "'.";
    if (*value < low || *value > high)
      return "Option '" + name + "' takes " + std::to_string(low) + " to " + std::to_string(high) + ", not " +
             text + ".";
    options.*field = *value;
    return {};
  };
}

std::function<std::string(const std::string&, EncoderOptions&)> Band(const std::string& name,
                                                                       Bands EncoderOptions::*bands,
                                                                       int Bands::*edge) {
  return [=](const std::string& text, EncoderOptions& options) -> std::string {
    const std::optional<int> value = ReadInteger(text);
    if (!value) return "Invalid value '" + text + "' for option '" + name + "'.";
    if (*value < 0 || *value > 25) return "Option '" + name + "' takes 0 to 25 pixels, not " + text + ".";
    (options.*bands).*edge = *value;
    return {};
  };
}

std::string ReadSound(const std::string& text, EncoderOptions& options) {
  const std::optional<TrackChoice> choice = ReadTrackChoice(text);
  if (!choice) return "Option '-sound' takes a track number from 1 or a language such as eng, not '" + text + "'.";
  options.sound = *choice;
  return {};
}

std::string ReadSubtitles(const std::string& text, EncoderOptions& options) {
  const std::optional<TrackChoice> choice = ReadTrackChoice(text);
  if (!choice)
    return "Option '-subs' takes a subtitle track number from 1 or a language such as eng, not '" + text + "'.";
  options.subtitles = *choice;
  return {};
}

std::function<std::string(const std::string&, EncoderOptions&)> Moment(const std::string& name,
                                                                       std::optional<double> EncoderOptions::*field) {
  return [=](const std::string& text, EncoderOptions& options) -> std::string {
    options.*field = ReadMoment(text);
    if (options.*field) return {};
    return "Invalid moment '" + text + "' for option '" + name + "'; give seconds or H:MM:SS from the start.";
  };
}

using Reader = std::function<std::string(const std::string&, EncoderOptions&)>;

const std::map<std::string, Reader>& Readers() {
  static const std::map<std::string, Reader> readers = {
      {"-i", [](const std::string& text, EncoderOptions& o) { o.inputPath = text; return std::string(); }},
      {"-vol", Ranged("-vol", 1, 2048, &EncoderOptions::volume)},
      {"-croptop", Band("-croptop", &EncoderOptions::crop, &Bands::top)},
      {"-cropbottom", Band("-cropbottom", &EncoderOptions::crop, &Bands::bottom)},
      {"-cropleft", Band("-cropleft", &EncoderOptions::crop, &Bands::left)},
      {"-cropright", Band("-cropright", &EncoderOptions::crop, &Bands::right)},
      {"-padtop", Band("-padtop", &EncoderOptions::pad, &Bands::top)},
      {"-padbottom", Band("-padbottom", &EncoderOptions::pad, &Bands::bottom)},
      {"-padleft", Band("-padleft", &EncoderOptions::pad, &Bands::left)},
      {"-padright", Band("-padright", &EncoderOptions::pad, &Bands::right)},
      {"-f",
       [](const std::string& text, EncoderOptions&) {
         return text == "amv" ? std::string() : "Output format '" + text + "' is not supported; only amv is written.";
       }},
      {"-s", ReadFrameSize},
      {"-r", ReadFrameRate},
      {"-ac",
       [](const std::string& text, EncoderOptions&) {
         return text == "1" ? std::string() : "AMV sound has one channel; '-ac " + text + "' cannot be written.";
       }},
      {"-ar",
       [](const std::string& text, EncoderOptions&) {
         return text == "22050" ? std::string() : "AMV sound runs at 22050 Hz; '-ar " + text + "' cannot be written.";
       }},
      {"-qmin", Ranged("-qmin", 1, 31, &EncoderOptions::qmin)},
      {"-qmax", Ranged("-qmax", 1, 31, &EncoderOptions::qmax)},
      {"-keepaspect",
       [](const std::string& text, EncoderOptions& o) {
         if (text != "0" && text != "1") return "Option '-keepaspect' takes 0 or 1, not " + text + ".";
         o.keepProportions = text == "1";
         return std::string();
       }},
      {"-preview", Moment("-preview", &EncoderOptions::previewSeconds)},
      {"-decode",
       [](const std::string& text, EncoderOptions& o) {
         if (text != "full" && text != "auto") return "Option '-decode' takes full or auto, not " + text + ".";
         o.fullDecode = text == "full";
         return std::string();
       }},
      {"-sound", ReadSound},
      {"-subs", ReadSubtitles},
      {"-subfile",
       [](const std::string& text, EncoderOptions& o) {
         o.subtitleFile = text;
         return text.empty() ? std::string("Option '-subfile' takes the path of a subtitle file.") : std::string();
       }},
      {"-ss", Moment("-ss", &EncoderOptions::partFrom)},
      {"-to", Moment("-to", &EncoderOptions::partTo)},
      {"-probe",
       [](const std::string& text, EncoderOptions& o) {
         o.inputPath = text;
         o.probe = true;
         return std::string();
       }},
  };
  return readers;
}

// What a conversion lacks on its line, or a range that leaves nothing; empty when complete.
std::string MissingConversionSetting(const EncoderOptions& options) {
  if (options.outputPath.empty()) return "No output file given; it comes last on the line.";
  if (options.width == 0) return "No frame size given; use -s WxH.";
  if (options.fps == 0) return "No frame rate given; use -r 10, 12 or 16.";
  if (options.qmin > options.qmax)
    return "The quantiser range -qmin " + std::to_string(options.qmin) + " -qmax " + std::to_string(options.qmax) +
           " is empty.";
  if (options.partTo && *options.partTo <= options.partFrom.value_or(0))
    return "The part from -ss to -to is empty; -to must come after -ss.";
  return {};
}

}  // namespace

ParsedOptions ParseArguments(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  EncoderOptions& options = parsed.options;
  const auto& readers = Readers();
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const auto reader = readers.find(argument);
    if (reader != readers.end()) {
      if (i + 1 >= arguments.size()) return {options, "Missing value for option '" + argument + "'."};
      parsed.error = reader->second(arguments[++i], options);
      if (!parsed.error.empty()) return parsed;
    } else if (i + 1 == arguments.size()) {
      // The output comes last whatever its first character: a user may name a file "-x.amv".
      options.outputPath = argument;
    } else if (!argument.empty() && argument[0] == '-') {
      return {options, "Unrecognized option '" + argument + "'."};
    } else {
      return {options, "Unexpected argument '" + argument + "'; the output file comes last."};
    }
  }
  // A probe needs nothing but the input.
  if (options.inputPath.empty()) parsed.error = "No input file given; use -i PATH.";
  else if (options.subtitles.Given() && !options.subtitleFile.empty())
    parsed.error = "Give either -subs or -subfile: one set of subtitles is burned in.";
  else if (!options.probe) parsed.error = MissingConversionSetting(options);
  return parsed;
}
