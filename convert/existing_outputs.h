#pragma once

#include <functional>
#include <vector>

#include "tasks/task.h"

// What a batch does with tasks whose output already exists, asked once per
// batch: replace them (each through a temporary file), skip those tasks, or
// not start at all.
struct ExistingOutputPlan {
  bool cancelled = false;
  std::vector<bool> replace;  // by task position
  std::vector<bool> skip;
};

// Asks about the outputs that exist, unless each such task's replacement was
// agreed in the editor already; asks nothing when no output exists.
ExistingOutputPlan PlanExistingOutputs(int taskCount, const std::function<Task(int position)>& taskAt);
