#pragma once

#include <string>

// Converting again over an output that exists. The encoder never overwrites,
// so it writes a temporary file in the same folder, which takes the old
// file's place in one rename only once the encoder has finished it: a failed
// or stopped conversion leaves the old file as it was.

// A name that nothing holds yet in the output's folder, hidden from file
// managers and ending in ".amv" like the output.
std::string ReplacementPath(const std::string& output);

// Puts the finished temporary file in the output's place; false (the
// temporary then removed) when the file system refuses.
bool PutReplacementInPlace(const std::string& temporary, const std::string& output);

// Removes what a failed or stopped conversion left under the temporary name.
void DiscardReplacement(const std::string& temporary);
