// One conversion at a time against two at a time, on the same mixed batch of
// generated clips, through the batch driver of the main window (offscreen).
// The two ways alternate for several rounds, taking turns to go first, so
// both see the same machine load; each round prints its wall and CPU time
// (this process and its encoders), and the outputs of the two ways are
// compared byte for byte.
// Usage: parallel_batch_bench [ROUNDS, 5 unless given]   (BENCH_CLIPS=DIR keeps the clips in DIR)
#include <QApplication>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "bench_main_window.h"
#include "tasks/task_list.h"

namespace {

using Clock = std::chrono::steady_clock;

// A mix such as a real list holds: codecs whose decoders thread differently,
// sizes from 360p to 720p, lengths from 12 to 32 seconds.
struct Clip {
  const char* name;
  const char* size;
  int seconds;
  const char* codec;  // the ffmpeg tool's output options
};
const Clip kClips[] = {
    {"h264-360p.mp4", "640x360", 32, "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac"},
    {"mpeg4-480p.avi", "640x480", 20, "-c:v mpeg4 -q:v 4 -bf 2 -c:a mp3"},
    {"h264-720p.mkv", "1280x720", 16, "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac"},
    {"mjpeg-480p.avi", "640x480", 12, "-c:v mjpeg -q:v 5 -pix_fmt yuvj420p -c:a pcm_s16le"},
    {"mpeg2-576p.mpg", "720x576", 20, "-c:v mpeg2video -q:v 4 -c:a mp2"},
    {"h264-360p-short.mp4", "640x360", 12, "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac"},
};

bool MakeClip(const Clip& clip, const std::string& path) {
  if (std::filesystem::exists(path)) return true;
  std::fprintf(stderr, "Generating %s...\n", path.c_str());
  // The extension tells the tool the container; the finished clip takes its name at once.
  const std::string part = path + ".part" + std::filesystem::path(path).extension().string();
  const std::string command = std::string("ffmpeg -v error -nostdin -y -f lavfi -i testsrc2=size=") + clip.size +
                              ":rate=30 -f lavfi -i sine=frequency=440:sample_rate=44100 -t " +
                              std::to_string(clip.seconds) + " -vf noise=alls=8:allf=t+u " + clip.codec + " '" +
                              part + "'";
  if (std::system(command.c_str()) != 0) return false;
  std::filesystem::rename(part, path);
  return true;
}

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Timing {
  double wall = 0;
  double cpu = 0;
  int converted = 0;
  std::vector<std::string> outputs;
};

// The whole batch with the given conversions at once, as the Start button runs it.
Timing RunBatch(AppState& app, const std::vector<Task>& tasks, int atOnce) {
  for (const Task& task : tasks) std::filesystem::remove(task.OutputFile);
  ProgramTasks(app).Clear();
  ClearLog(app);
  for (const Task& task : tasks) ProgramTasks(app).Append(task);
  app.conversionsAtOnce = atOnce;
  Timing timing;
  const double cpuStart = CpuSeconds(RUSAGE_SELF) + CpuSeconds(RUSAGE_CHILDREN);
  const auto start = Clock::now();
  DispatchCommand(app, 58);
  timing.wall = std::chrono::duration<double>(Clock::now() - start).count();
  timing.cpu = CpuSeconds(RUSAGE_SELF) + CpuSeconds(RUSAGE_CHILDREN) - cpuStart;
  timing.converted = ConvertedRowCount(app);
  for (const Task& task : tasks) timing.outputs.push_back(ReadBytes(task.OutputFile));
  return timing;
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  AppState app;
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (!std::filesystem::exists(MFLPX_ENCODER_PATH)) {
    std::fprintf(stderr, "no encoder at %s\n", MFLPX_ENCODER_PATH);
    return 1;
  }
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "mflpx-parallel-batch-bench";
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work);
  const char* kept = std::getenv("BENCH_CLIPS");
  const std::filesystem::path clips = kept != nullptr && *kept != '\0' ? std::filesystem::path(kept) : work;
  std::filesystem::create_directories(clips);

  std::vector<Task> tasks;
  int option = 0;
  for (const Clip& clip : kClips) {
    Task task;
    task.InputFile = (clips / clip.name).string();
    task.OutputFile = (work / (std::string(clip.name) + ".amv")).string();
    task.Resolution = static_cast<int8_t>(3 + option % 5);
    task.FrameRate = static_cast<int8_t>(option % 3);
    ++option;
    if (!MakeClip(clip, task.InputFile)) {
      std::fprintf(stderr, "could not generate %s with the ffmpeg tool\n", task.InputFile.c_str());
      return 1;
    }
    tasks.push_back(task);
  }

  if (!OpenBenchMainWindow(app, work.string() + "/")) return 1;
  app.encoderPath = MFLPX_ENCODER_PATH;

  std::printf("parallel batch: %zu mixed clips, %d alternating rounds; load average before: %s\n", tasks.size(),
              rounds, LoadAverage().c_str());
  std::vector<double> wall[2], cpu[2], ratios;
  bool allConverted = true;
  bool identical = true;
  std::vector<std::string> reference;
  for (int round = 0; round < rounds; ++round) {
    Timing timing[2];
    for (int turn = 0; turn < 2; ++turn) {
      const int way = (round + turn) % 2;  // 0: one at a time, 1: two at a time
      timing[way] = RunBatch(app, tasks, way + 1);
      allConverted = allConverted && timing[way].converted == static_cast<int>(tasks.size());
      if (reference.empty()) reference = timing[way].outputs;
      identical = identical && timing[way].outputs == reference;
    }
    for (int way = 0; way < 2; ++way) {
      wall[way].push_back(timing[way].wall);
      cpu[way].push_back(timing[way].cpu);
    }
    ratios.push_back(timing[1].wall / timing[0].wall);
    std::printf("  round %d: one at a time %.2f s wall, %.2f s CPU; two at a time %.2f s wall, %.2f s CPU; "
                "wall ratio %.3f\n",
                round + 1, timing[0].wall, timing[0].cpu, timing[1].wall, timing[1].cpu, ratios.back());
  }
  std::filesystem::remove_all(work);

  const double best = *std::min_element(wall[1].begin(), wall[1].end()) / *std::min_element(wall[0].begin(), wall[0].end());
  std::printf("  median wall: one %.2f s, two %.2f s; median CPU: one %.2f s, two %.2f s (CPU ratio %.3f)\n",
              Median(wall[0]), Median(wall[1]), Median(cpu[0]), Median(cpu[1]), Median(cpu[1]) / Median(cpu[0]));
  std::printf("  two at a time / one at a time, wall: median of rounds %.3f, best against best %.3f; "
              "target <= 0.85: %s\n",
              Median(ratios), best, Median(ratios) <= 0.85 ? "met" : "MISSED");
  std::printf("  outputs of the two ways byte for byte identical: %s; every task converted: %s\n",
              identical ? "yes" : "NO", allConverted ? "yes" : "NO");
  std::printf("  load average after: %s\n", LoadAverage().c_str());
  DestroyMainWindow(app);
  return allConverted && identical ? 0 : 1;
}
