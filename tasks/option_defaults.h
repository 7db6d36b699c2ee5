#pragma once

#include <string>

#include "tasks/task.h"

// The option defaults of group MFLPX in Config.ini: the options the task
// editor showed last. Only the option fields of a Task are read or written;
// its paths are left empty or ignored.

// Options without a key (those of one source alone) are neither read nor
// written. Reads the key of every task option ("0" for a missing classic one, the
// initial value for a missing added one), each brought into its range. When the file cannot be opened, the editor's built-in
// values: all 0, volume 8.
Task ReadOptionDefaults(const std::string& configPath);

// Writes the key of every task option, in the table's order, but an added
// option's only once it differs from its initial value or the file holds it;
// nothing when the file cannot be opened.
void StoreOptionDefaults(const std::string& configPath, const Task& options);
