// A batch of 1,000 tasks through the main window (offscreen), each with a
// stand-in encoder that prints the lines a real one prints. Prints the
// window's own CPU time per task over the last 100 tasks against the first
// 100: a batch must run at the same pace at its end as at its start.
#include <QApplication>
#include <QMainWindow>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "bench_main_window.h"
#include "app/commands.h"
#include "app/log_list.h"
#include "app/main_window.h"
#include "tasks/task_list.h"

namespace {

constexpr int kTasks = 1000;
constexpr int kCompared = 100;
constexpr double kTarget = 1.2;

// Notes the program's CPU ticks (user + system, from /proc) as it starts,
// then prints a header and 30 progress lines, as a real encoder would.
constexpr const char* kStandIn = R"(#!/bin/sh
read -r stat < /proc/$PPID/stat
echo "${stat##*) }" >> "${0%/Core/ffmpeg}/ticks"
printf "Input #0, avi, from '%s':\n" "$2" >&2
printf '  Duration: 00:00:30.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
i=1
while [ $i -le 30 ]; do
  printf 'frame=%5d fps=  0 q=3.0 size=%8dkB time=%d.00 bitrate=   6.5kbits/s\n' $((i * 12)) $i $i >&2
  i=$((i + 1))
done
)";

// The window's CPU ticks as each task's encoder started.
std::vector<long> TicksAtEachStart(const std::filesystem::path& file) {
  std::vector<long> ticks;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    // Fields after the command name; utime and stime are the 12th and 13th of them.
    std::istringstream fields(line);
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 1; fields >> field; ++i) {
      if (i == 12) utime = std::stol(field);
      if (i == 13) stime = std::stol(field);
    }
    ticks.push_back(utime + stime);
  }
  return ticks;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  AppState app;
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "mflpx-long-batch-bench";
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work / "Core");
  const std::filesystem::path encoder = work / "Core" / "ffmpeg";
  std::ofstream(encoder) << kStandIn;
  std::filesystem::permissions(encoder, std::filesystem::perms::owner_all);

  if (!OpenBenchMainWindow(app, work.string() + "/")) return 1;
  MainWindow(app)->show();

  for (int i = 0; i < kTasks; ++i) {
    Task task;
    task.InputFile = (work / ("clip" + std::to_string(i) + ".mp4")).string();
    task.OutputFile = (work / ("clip" + std::to_string(i) + ".amv")).string();
    ProgramTasks(app).Append(task);
  }
  DispatchCommand(app, 58);
  // Task k's cost is what the window spent between its start and the next one's.
  const std::vector<long> ticks = TicksAtEachStart(work / "ticks");
  const int logLines = LogListWidget(app)->LineCount();
  std::filesystem::remove_all(work);
  if (static_cast<int>(ticks.size()) != kTasks) {
    std::fprintf(stderr, "only %zu of %d tasks ran\n", ticks.size(), kTasks);
    return 1;
  }
  const double ticksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));
  const double first = (ticks[kCompared] - ticks[0]) / ticksPerSecond / kCompared;
  const double last = (ticks[kTasks - 1] - ticks[kTasks - 1 - kCompared]) / ticksPerSecond / kCompared;
  const double ratio = first > 0 ? last / first : 0;
  std::printf("long batch: %d tasks of 32 log lines each, %d log lines in the end\n", kTasks, logLines);
  std::printf("  window CPU per task, tasks 1-%d:       %.2f ms (baseline)\n", kCompared, first * 1000);
  std::printf("  window CPU per task, tasks %d-%d:   %.2f ms\n", kTasks - kCompared, kTasks, last * 1000);
  std::printf("  ratio last/first: %.2f (target <= %.1f) %s\n", ratio, kTarget, ratio <= kTarget ? "OK" : "SLOW");
  return 0;
}
