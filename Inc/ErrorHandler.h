#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include <sys/types.h>

// Module indices printed by the crash report.
#define MFLPX_MODULE_MAIN 0
#define MFLPX_MODULE_ERROR_HANDLER 1
#define MFLPX_MODULE_LANG 2
#define MFLPX_MODULE_RESIZE 3

// A source file belongs to the main module unless its build says otherwise.
#ifndef MFLPX_MODULE
#define MFLPX_MODULE MFLPX_MODULE_MAIN
#endif

// Module index in the top 8 bits, source line in the low 24 bits: the last
// significant step any thread reached, read by the crash report.
extern std::atomic<uint32_t> SourcePosition;

#define CHECKPOINT()                                                                          \
  SourcePosition.store((static_cast<uint32_t>(MFLPX_MODULE) << 24) | (__LINE__ & 0xFFFFFFu), \
                       std::memory_order_relaxed)

struct CrashHandlerSettings {
  // Where ErrorReport.log is written; empty = the executable's directory.
  std::string reportDirectory;
  // The program that tells the user about the crash, started with no
  // arguments; empty = mflpx-crash-notice beside the executable.
  std::string noticeProgram;
};

// Installs the process-wide fault handlers; called first thing at start-up.
// A fault then writes ErrorReport.log, runs the notice program, waits for it
// and ends the process with exit code 0. The alternate signal stack that lets
// a stack overflow be reported belongs to the installing thread. False when
// the handlers could not be registered.
bool InstallCrashHandler(const CrashHandlerSettings& settings = {});

// Restores the handlers that were registered before; part of a normal end.
void UninstallCrashHandler();

// Programs this process started and has not reaped yet. A crash kills them
// (SIGKILL) before the report is written, so no encoder outlives the program.
// Up to 64 are kept at once; Forget is called once a program has been reaped,
// so a recycled process id is never killed.
void WatchStartedProgram(pid_t pid);
void ForgetStartedProgram(pid_t pid);

// The outputs of the tasks in progress while they are not complete, when the
// tasks created them: a crash or a termination signal removes each one (if it
// is still a regular file), as Stop does, so no half-written file blocks the
// next run. Up to kMostConversionsAtOnce at once; a path longer than PATH_MAX
// is not kept.
void WatchIncompleteOutput(const std::string& path);
void ForgetIncompleteOutput(const std::string& path);

// SIGTERM, SIGHUP and SIGINT (a logout, a closed terminal, Ctrl+C) then end
// the programs this process started, remove the incomplete outputs and end
// the process by that same signal. False when a handler could not be set.
bool InstallTerminationHandler();
