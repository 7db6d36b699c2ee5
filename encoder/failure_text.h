#pragma once

#include <string>

// Failure lines in a user's words, with the system's own text after them in
// brackets, for whoever needs to look further.

// The input could not be opened or read; `code` is FFmpeg's error code.
std::string ReadFailure(const std::string& path, int code);

// The output could not be created or written; `errorNumber` is errno.
std::string CreateFailure(const std::string& path, int errorNumber);
std::string WriteFailure(const std::string& path, int errorNumber);
