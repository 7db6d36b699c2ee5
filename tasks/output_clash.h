#pragma once

#include <set>
#include <string>

// Two tasks must not save to the same file. Paths that name one file, such
// as "clips/a.amv", "./clips/a.amv" and one through a linked folder, give
// the same key.
std::string OutputFileKey(const std::string& output);

// The keys of the outputs of every task in the list but the one at `except`
// (-1: none).
std::set<std::string> TaskOutputKeys(int except);
