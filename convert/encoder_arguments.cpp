#include "convert/encoder_arguments.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "Inc/AmvFormats.h"
#include "Inc/TextUtil.h"

namespace {

struct QuantiserRange {
  const char* low;
  const char* high;
};
constexpr std::array<QuantiserRange, 3> kQuantisers = {{{"3", "4"}, {"3", "5"}, {"5", "6"}}};

// Index 8 is the encoder's unchanged level.
constexpr std::array<const char*, 17> kVolumeLevels = {
    "1",   "2",   "4",   "8",    "16",   "32",   "64",   "128", "256",
    "384", "512", "768", "1024", "1280", "1536", "1792", "2048"};

template <typename Table>
const auto& Entry(const Table& table, long long index) {
  return table[static_cast<std::size_t>(std::clamp<long long>(index, 0, table.size() - 1))];
}

// "176x144": the -s value of frame size `index`.
std::string FrameSizeValue(long long index) {
  const AmvFrameSize& size = Entry(kAmvFrameSizes, index);
  return IntToText(size.width) + "x" + IntToText(size.height);
}

std::string FrameRateValue(long long index) { return IntToText(Entry(kAmvFrameRates, index)); }

struct NamedValue {
  const char* option;
  int32_t value;
};

std::array<NamedValue, 4> CropValues(const Task& t) {
  return {{{"-croptop", t.CropTop}, {"-cropbottom", t.CropBottom},
           {"-cropleft", t.CropLeft}, {"-cropright", t.CropRight}}};
}

std::array<NamedValue, 4> PadValues(const Task& t) {
  return {{{"-padtop", t.PadTop}, {"-padbottom", t.PadBottom},
           {"-padleft", t.PadLeft}, {"-padright", t.PadRight}}};
}

// " -name value" for each, then one closing space.
std::string ValuePiece(const std::array<NamedValue, 4>& values) {
  std::string piece;
  for (const auto& v : values) piece += std::string(" ") + v.option + " " + IntToText(v.value);
  return piece + " ";
}

}  // namespace

// The output is the one argument that stands alone; "./" keeps a path the user
// typed with a leading '-' from reading as an option, and names the same file.
std::string EncoderOutputPath(const Task& task) {
  return task.OutputFile.starts_with('-') ? "./" + task.OutputFile : task.OutputFile;
}

std::string BuildEncoderArguments(const Task& task) {
  const auto& quantiser = Entry(kQuantisers, task.Quality);
  return "-i \"" + task.InputFile + "\"" +
         " -vol " + Entry(kVolumeLevels, task.Volume) +
         ValuePiece(CropValues(task)) + ValuePiece(PadValues(task)) +
         "-f amv " +
         "-s " + FrameSizeValue(task.Resolution) + " " +
         "-r " + FrameRateValue(task.FrameRate) + " " +
         "-ac 1 -ar 22050 " +
         "-qmin " + quantiser.low + " -qmax " + quantiser.high + " " +
         "\"" + task.OutputFile + "\"";
}

std::vector<std::string> EncoderArgumentVector(const Task& task) {
  std::vector<std::string> args = {"-i", task.InputFile, "-vol", Entry(kVolumeLevels, task.Volume)};
  for (const auto& values : {CropValues(task), PadValues(task)})
    for (const auto& v : values) {
      args.push_back(v.option);
      args.push_back(IntToText(v.value));
    }
  const auto& quantiser = Entry(kQuantisers, task.Quality);
  args.insert(args.end(), {"-f", "amv", "-s", FrameSizeValue(task.Resolution),
                           "-r", FrameRateValue(task.FrameRate), "-ac", "1", "-ar", "22050",
                           "-qmin", quantiser.low, "-qmax", quantiser.high, EncoderOutputPath(task)});
  return args;
}
