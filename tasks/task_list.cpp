#include "tasks/task_list.h"

// Placeholder: replaced by the task list work.
int RemoveSelectedTask() { return 0; }
int MoveSelectedTaskUp() { return 0; }
int MoveSelectedTaskDown() { return 0; }
