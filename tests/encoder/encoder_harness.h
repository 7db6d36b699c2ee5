#pragma once

// Runs the built encoder and the stock ffmpeg/ffprobe tools, which generate
// the test clips and read the results back as an independent check.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "scratch_dir.h"

struct RunResult {
  int exitCode = -1;
  std::string err;  // everything written on stderr
};

// The command line the batch driver passes, with the given changes.
struct EncoderCall {
  std::string input;
  std::string output;
  std::string size = "160x120";
  int fps = 12;
  int volume = 256;
  int qmin = 3;
  int qmax = 5;
  int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;
  int padTop = 0, padBottom = 0, padLeft = 0, padRight = 0;

  std::vector<std::string> Arguments() const;
};

std::string ShellQuote(const std::string& text);

// Runs the encoder with these arguments; `shellPrefix` goes before it in the
// shell (for example a ulimit).
RunResult RunEncoder(const std::vector<std::string>& arguments, const ScratchDir& dir,
                     const std::string& shellPrefix = "");
RunResult RunEncoder(const EncoderCall& call, const ScratchDir& dir);

// Runs the encoder as RunEncoder does, its exit code and stderr in `run`; the
// most memory it held, in KiB, or -1.
long PeakMemoryOfEncoder(const EncoderCall& call, const ScratchDir& dir, RunResult& run,
                         const std::string& shellPrefix = "");

// Runs a shell command; its stdout, or fails the current test.
std::string Capture(const std::string& command);

// ffmpeg with `arguments` writing `output`; fails the current test if it fails.
void MakeClip(const std::string& arguments, const std::string& output);

// The non-empty lines of a text, split at LF and CR.
std::vector<std::string> Lines(const std::string& text);

struct Probe {
  // Every stream's codec_type, codec_name, width, height, r_frame_rate,
  // sample_rate, channels and nb_read_packets, by name.
  std::vector<std::map<std::string, std::string>> streams;
  // The sample count of every sound frame, in file order.
  std::vector<int> soundChunks;
};

// ffprobe's reading of a file.
Probe ProbeFile(const std::string& file);

// Decodes the sound as 16-bit mono samples.
std::vector<int16_t> DecodeSound(const std::string& file);
// Decodes frame `index` of the picture as 8-bit grey levels, row by row.
std::vector<uint8_t> DecodeLuma(const std::string& file, int index, int width, int height);
// Decodes every frame of the picture so, in one run.
std::vector<std::vector<uint8_t>> DecodeAllLuma(const std::string& file, int width, int height);

double Rms(const std::vector<int16_t>& samples);

// Width over height of the bright shape in a grey picture, from its second
// moments: for a filled ellipse they grow with the square of each half-axis,
// which makes the measure sub-pixel exact and blind to the dark bands.
double ShapeProportion(const std::vector<uint8_t>& luma, int width, int height);

bool FileExists(const std::string& path);
