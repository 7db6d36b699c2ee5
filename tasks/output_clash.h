#pragma once

#include <set>
#include <string>

// Two tasks must not save to the same file. Paths that name one file, such
// as "clips/a.amv", "./clips/a.amv" and one through a linked folder, give
// the same key.
std::string OutputFileKey(const std::string& output);

class TaskList;

// The keys of the outputs of every task in `tasks` but the one at `except`
// (-1: none).
std::set<std::string> TaskOutputKeys(const TaskList& tasks, int except);
