#include "tasks/task_list.h"

// Placeholder: replaced by the task list work.
int TaskCount() { return 0; }
Task TaskAt(int) { return {}; }
std::string TaskStatusText(int) { return {}; }
void SetTaskStatusText(int, const std::string&) {}
void ShowTaskCount() {}
int RemoveSelectedTask() { return 0; }
int MoveSelectedTaskUp() { return 0; }
int MoveSelectedTaskDown() { return 0; }
