#include "encoder_harness.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> CaptureBytes(const std::string& command) {
  std::vector<uint8_t> bytes;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << command;
    return bytes;
  }
  uint8_t buffer[65536];
  size_t count;
  while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) bytes.insert(bytes.end(), buffer, buffer + count);
  const int status = pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ADD_FAILURE() << "failed: " << command;
  return bytes;
}

}  // namespace

std::vector<std::string> EncoderCall::Arguments() const {
  return {"-i",          input,
          "-vol",        std::to_string(volume),
          "-croptop",    std::to_string(cropTop),
          "-cropbottom", std::to_string(cropBottom),
          "-cropleft",   std::to_string(cropLeft),
          "-cropright",  std::to_string(cropRight),
          "-padtop",     std::to_string(padTop),
          "-padbottom",  std::to_string(padBottom),
          "-padleft",    std::to_string(padLeft),
          "-padright",   std::to_string(padRight),
          "-f",          "amv",
          "-s",          size,
          "-r",          std::to_string(fps),
          "-ac",         "1",
          "-ar",         "22050",
          "-qmin",       std::to_string(qmin),
          "-qmax",       std::to_string(qmax),
          output};
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

RunResult RunEncoder(const std::vector<std::string>& arguments, const ScratchDir& dir,
                     const std::string& shellPrefix) {
  std::string command = shellPrefix + ShellQuote(AMV_ENCODER_PATH);
  for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
  const std::string errPath = dir.Path("encoder-stderr.txt");
  command += " 2>" + ShellQuote(errPath) + " </dev/null";
  const int status = std::system(("sh -c " + ShellQuote(command)).c_str());
  RunResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadWholeFile(errPath);
  std::filesystem::remove(errPath);
  return result;
}

RunResult RunEncoder(const EncoderCall& call, const ScratchDir& dir) { return RunEncoder(call.Arguments(), dir); }

long PeakMemoryOfEncoder(const EncoderCall& call, const ScratchDir& dir, RunResult& run,
                         const std::string& shellPrefix) {
  // A child of our own runs the encoder, so the peak it reports counts the
  // encoder alone and not the clips this test program generated before.
  int channel[2];
  if (pipe(channel) != 0) return -1;
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    close(channel[0]);
    const RunResult result = RunEncoder(call.Arguments(), dir, shellPrefix);
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const long report[2] = {result.exitCode, usage.ru_maxrss};
    bool sent = write(channel[1], report, sizeof report) == static_cast<ssize_t>(sizeof report);
    for (size_t at = 0; sent && at < result.err.size();) {
      const ssize_t written = write(channel[1], result.err.data() + at, result.err.size() - at);
      sent = written > 0;
      at += sent ? static_cast<size_t>(written) : 0;
    }
    _exit(sent ? 0 : 1);
  }
  close(channel[1]);
  long report[2] = {-1, -1};
  const bool received = read(channel[0], report, sizeof report) == static_cast<ssize_t>(sizeof report);
  run.err.clear();
  char buffer[4096];
  for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) run.err.append(buffer, static_cast<size_t>(got));
  close(channel[0]);
  waitpid(child, nullptr, 0);
  run.exitCode = static_cast<int>(report[0]);
  return received ? report[1] : -1;
}

std::string Capture(const std::string& command) {
  const std::vector<uint8_t> bytes = CaptureBytes(command);
  return {bytes.begin(), bytes.end()};
}

void MakeClip(const std::string& arguments, const std::string& output) {
  Capture("ffmpeg -nostdin -v error -y " + arguments + " " + ShellQuote(output));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

Probe ProbeFile(const std::string& file) {
  Probe probe;
  const std::string text = Capture(
      "ffprobe -v error -count_packets -show_entries "
      "stream=codec_type,codec_name,width,height,r_frame_rate,sample_rate,channels,nb_read_packets:"
      "frame=media_type,nb_samples " +
      ShellQuote(file));
  std::map<std::string, std::string>* block = nullptr;
  std::map<std::string, std::string> frame;
  for (const std::string& line : Lines(text)) {
    if (line == "[STREAM]") {
      block = &probe.streams.emplace_back();
    } else if (line == "[FRAME]") {
      frame.clear();
      block = &frame;
    } else if (line == "[/FRAME]") {
      if (frame["media_type"] == "audio") probe.soundChunks.push_back(std::stoi(frame["nb_samples"]));
      block = nullptr;
    } else if (const auto equals = line.find('='); equals != std::string::npos && block) {
      (*block)[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return probe;
}

std::vector<int16_t> DecodeSound(const std::string& file) {
  const std::vector<uint8_t> bytes =
      CaptureBytes("ffmpeg -nostdin -v error -i " + ShellQuote(file) + " -vn -ac 1 -f s16le -");
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return samples;
}

std::vector<uint8_t> DecodeLuma(const std::string& file, int index, int width, int height) {
  std::vector<uint8_t> bytes = CaptureBytes("ffmpeg -nostdin -v error -i " + ShellQuote(file) +
                                            " -vf " + ShellQuote("select=eq(n\\," + std::to_string(index) + "),format=gray") +
                                            " -frames:v 1 -f rawvideo -");
  EXPECT_EQ(bytes.size(), static_cast<size_t>(width) * height);
  bytes.resize(static_cast<size_t>(width) * height);
  return bytes;
}

std::vector<std::vector<uint8_t>> DecodeAllLuma(const std::string& file, int width, int height) {
  const std::vector<uint8_t> bytes =
      CaptureBytes("ffmpeg -nostdin -v error -i " + ShellQuote(file) + " -f rawvideo -pix_fmt gray -");
  const size_t size = static_cast<size_t>(width) * height;
  std::vector<std::vector<uint8_t>> frames;
  for (size_t at = 0; at + size <= bytes.size(); at += size)
    frames.emplace_back(bytes.begin() + at, bytes.begin() + at + size);
  return frames;
}

double Rms(const std::vector<int16_t>& samples) {
  if (samples.empty()) return 0;
  double sum = 0;
  for (int16_t s : samples) sum += static_cast<double>(s) * s;
  return std::sqrt(sum / samples.size());
}

double ShapeProportion(const std::vector<uint8_t>& luma, int width, int height) {
  double sum = 0, sx = 0, sy = 0, sxx = 0, syy = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double w = luma[static_cast<size_t>(y) * width + x] > 128 ? 1 : 0;
      sum += w;
      sx += w * x;
      sy += w * y;
      sxx += w * x * x;
      syy += w * y * y;
    }
  }
  if (sum == 0) return 0;
  const double vx = sxx / sum - (sx / sum) * (sx / sum);
  const double vy = syy / sum - (sy / sum) * (sy / sum);
  return std::sqrt(vx / vy);
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }
