// Converts the same tasks with the encoder alone and through the batch driver
// of the main window (offscreen), in one run, and prints the driver's cost.
#include <QApplication>

#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "bench_main_window.h"
#include "Inc/Lang.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "convert/encoder_arguments.h"
#include "tasks/task_list.h"

extern char** environ;

namespace {

constexpr int kTasks = 6;
constexpr int kRounds = 3;
constexpr const char* kClipSeconds = "8";

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The encoder alone: stderr to /dev/null, waited for with a blocking wait.
bool RunEncoderAlone(const Task& task) {
  std::vector<std::string> args = EncoderArgumentVector(task);
  std::vector<char*> argv{const_cast<char*>(MFLPX_ENCODER_PATH)};
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, MFLPX_ENCODER_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return error == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void RemoveOutputs(const std::vector<Task>& tasks) {
  for (const Task& task : tasks) std::filesystem::remove(task.OutputFile);
}

double EncoderAloneSeconds(const std::vector<Task>& tasks) {
  RemoveOutputs(tasks);
  const auto start = Clock::now();
  for (const Task& task : tasks)
    if (!RunEncoderAlone(task)) std::fprintf(stderr, "encoder failed on %s\n", task.InputFile.c_str());
  return SecondsSince(start);
}

// CPU time of this process alone: the driver's own work, not the encoder's.
double OwnCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double BatchDriverSeconds(AppState& app, const std::vector<Task>& tasks, int& converted, double& cpuSeconds) {
  RemoveOutputs(tasks);
  ProgramTasks(app).Clear();
  ClearLog(app);
  for (const Task& task : tasks) ProgramTasks(app).Append(task);
  const auto start = Clock::now();
  const double cpuStart = OwnCpuSeconds();
  DispatchCommand(app, 58);
  const double seconds = SecondsSince(start);
  cpuSeconds = OwnCpuSeconds() - cpuStart;
  converted = ConvertedRowCount(app);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  AppState app;
  if (!std::filesystem::exists(MFLPX_ENCODER_PATH)) {
    std::fprintf(stderr, "no encoder at %s\n", MFLPX_ENCODER_PATH);
    return 1;
  }
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "mflpx-batch-bench";
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work);

  std::vector<Task> tasks;
  for (int i = 0; i < kTasks; ++i) {
    Task task;
    task.InputFile = (work / ("clip" + std::to_string(i) + ".mp4")).string();
    task.OutputFile = (work / ("clip" + std::to_string(i) + ".amv")).string();
    task.Resolution = static_cast<int8_t>(3 + i % 3);
    task.FrameRate = static_cast<int8_t>(i % 3);
    const std::string generate = "ffmpeg -v error -nostdin -f lavfi -i testsrc=duration=" + std::string(kClipSeconds) +
                                 ":size=640x360:rate=30 -f lavfi -i sine=frequency=440:duration=" + kClipSeconds +
                                 " -shortest '" + task.InputFile + "'";
    if (std::system(generate.c_str()) != 0) {
      std::fprintf(stderr, "could not generate %s with the ffmpeg tool\n", task.InputFile.c_str());
      return 1;
    }
    tasks.push_back(task);
  }

  if (!OpenBenchMainWindow(app, work.string() + "/")) return 1;
  app.encoderPath = MFLPX_ENCODER_PATH;

  // Alternate the two ways so that both see the same machine load; keep the best round of each.
  double alone = 1e9, driven = 1e9, driverCpu = 0;
  int converted = 0;
  for (int round = 0; round < kRounds; ++round) {
    alone = std::min(alone, EncoderAloneSeconds(tasks));
    double cpu = 0;
    const double seconds = BatchDriverSeconds(app, tasks, converted, cpu);
    if (seconds < driven) {
      driven = seconds;
      driverCpu = cpu;
    }
  }
  std::filesystem::remove_all(work);

  const double overheadMs = (driven - alone) / kTasks * 1000.0;
  const double budget = alone * 1.05 + 0.1 * kTasks;
  std::printf("batch: %d tasks of %s s 640x360 clips, best of %d rounds\n", kTasks, kClipSeconds, kRounds);
  std::printf("  encoder alone       %.3f s\n", alone);
  std::printf("  batch driver (GUI)  %.3f s  (%d of %d converted; the driver's own CPU time %.3f s)\n", driven,
              converted, kTasks, driverCpu);
  std::printf("  ratio %.3fx, overhead %.1f ms per task; target <= 1.05x + 100 ms per task (%.3f s): %s\n",
              driven / alone, overheadMs, budget, driven <= budget ? "met" : "MISSED");
  DestroyMainWindow(app);
  return converted == kTasks ? 0 : 1;
}
