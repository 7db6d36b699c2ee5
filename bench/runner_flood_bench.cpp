// Reads floods of encoder output through the process runner, as the batch
// pump does, and prints its CPU cost against reading the same pipe raw in
// the same run (CPU time, so the load of a shared machine does not count), how that cost grows with the size (1.0 = linear), the
// longest single read against the pump's 50 ms cycle (in CPU time, which a
// loaded machine does not inflate), and the memory it took.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "convert/child_process.h"

namespace {

struct Run {
  double seconds = 0;
  double longestCallMs = 0;
  long peakGrowthKb = 0;
};

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A shell line writing megabytes of output: short lines, or one without end.
std::string Flood(int megabytes, bool lines) {
  const std::string bytes = "head -c " + std::to_string(megabytes) + "000000 /dev/zero";
  return lines ? bytes + " | tr '\\0' x | fold -w 40 >&2" : bytes + " | tr '\\0' x >&2";
}

Run ThroughTheRunner(const std::string& script) {
  Run run;
  const long peakBefore = PeakKb();
  const double start = ProcessCpuSeconds();
  const ChildHandle child = StartChild("/bin/sh", {"-c", script}, "");
  while (ChildRunning(child) || ChildOutputWaiting(child)) {
    if (!ChildOutputWaiting(child)) usleep(200);
    const double call = ThreadCpuMs();
    ReadErrorLine(child);
    run.longestCallMs = std::max(run.longestCallMs, ThreadCpuMs() - call);
  }
  CloseChild(child);
  run.seconds = ProcessCpuSeconds() - start;
  run.peakGrowthKb = PeakKb() - peakBefore;
  return run;
}

// The baseline: the same output read raw into a buffer that is thrown away.
double Raw(const std::string& script) {
  const double start = ProcessCpuSeconds();
  FILE* pipe = popen(("( " + script + " ) 2>&1").c_str(), "r");
  char buffer[65536];
  while (fread(buffer, 1, sizeof buffer, pipe) > 0) {
  }
  pclose(pipe);
  return ProcessCpuSeconds() - start;
}

}  // namespace

int main() {
  for (const bool lines : {true, false}) {
    const Run small = ThroughTheRunner(Flood(8, lines));
    const Run large = ThroughTheRunner(Flood(32, lines));
    const double raw = Raw(Flood(32, lines));
    std::printf("%s: runner/raw for 32 MB %.2f; growth per MB from 8 to 32 MB %.2f (1.00 = linear); "
                "longest read %.1f ms of the 50 ms cycle; peak memory +%ld KB\n",
                lines ? "40-byte lines" : "no line end", large.seconds / raw,
                (large.seconds / 32) / (small.seconds / 8), std::max(small.longestCallMs, large.longestCallMs),
                std::max(small.peakGrowthKb, large.peakGrowthKb));
  }
  return 0;
}
