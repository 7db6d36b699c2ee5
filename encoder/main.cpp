// The AMV encoder: converts one video file into an AMV file for portable
// players, speaking the argument line and stderr lines batch front ends use.

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "encoder/converter.h"
#include "encoder/options.h"
#include "encoder/preview.h"
#include "encoder/printable_text.h"
#include "encoder/source_probe.h"

namespace {

// Process-wide: the only thing a signal handler may safely touch.
volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

}  // namespace

int main(int argc, char** argv) {
  const ParsedOptions parsed = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "%s\n", Printable(parsed.error).c_str());
    return 1;
  }
  // Every failure is told in one line of our own; the libraries' chatter would bury it.
  av_log_set_level(AV_LOG_QUIET);
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  // A closed terminal or an ended session keeps what was converted, as a stop does.
  std::signal(SIGHUP, OnInterrupt);
  // A closed stderr pipe must not cost the file, and a size limit is reported
  // as a write error rather than killing the process.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  if (parsed.options.probe) return WriteProbe(parsed.options);
  if (parsed.options.previewSeconds) return WritePreview(parsed.options);
  return ConvertFile(parsed.options, interrupted);
}
