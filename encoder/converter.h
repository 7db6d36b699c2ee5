#pragma once

#include <csignal>

#include "encoder/options.h"

// Converts one input file into an AMV file as the options say, writing the
// progress lines and any failure on stderr. Returns the process exit code:
// 0 only when the file is complete. A set `interrupted` flag ends the work
// early, keeping what was converted as a playable file, with exit code 1.
int ConvertFile(const EncoderOptions& options, const volatile std::sig_atomic_t& interrupted);
