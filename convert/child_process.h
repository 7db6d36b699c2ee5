#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Child processes with their standard error captured in a pipe, read a line
// at a time without ever blocking. POSIX; a port swaps this file pair.

// A live child is known by its handle until CloseChild; 0 is never a handle,
// and a handle is never reused, so a closed one stays dead.
using ChildHandle = uint64_t;

// Starts program with the arguments (argv[1] onward) in workingDirectory
// (empty: the current one). Its standard input is /dev/null, its standard
// output the parent's. 0 when the program cannot be started (missing, not
// executable, no such directory); nothing is left open then.
ChildHandle StartChild(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingDirectory);

// True while the child has not ended, even when output is still unread.
bool ChildRunning(ChildHandle child);

// The next complete line of the child's error output without its terminator
// (CR, LF or CR LF), or empty text when none is complete. A last line without
// a terminator comes only once the child has ended and the pipe is empty.
// Each call reads at most 64 KiB from the pipe, and a line longer than 64 KiB
// comes as its last 64 KiB, so neither time nor memory grows with a flood.
std::string ReadErrorLine(ChildHandle child);

// True when ReadErrorLine could return a line now: a complete line is pending,
// bytes wait in the pipe, or the child has ended with text still pending.
bool ChildOutputWaiting(ChildHandle child);

// The exit status once ended; -1 for a child ended by a signal, 0 while it
// runs or when it cannot be told.
int32_t ChildExitCode(ChildHandle child);

// Ends the child at once (SIGKILL) and reaps it, waiting a moment for the
// system to end it; nothing happens to one that has ended.
void KillChild(ChildHandle child);

// Releases the pipe and the pending text and forgets the handle. It does not
// end the child; a child still running is reaped after it ends.
void CloseChild(ChildHandle child);

bool IsChild(ChildHandle child);

// A descriptor that turns readable when the child ends, for waiting on it
// alongside other events; -1 when the system offers none. Owned by the runner.
int ChildEndDescriptor(ChildHandle child);
