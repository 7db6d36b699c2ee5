#pragma once

#include "tasks/task.h"

// Command handlers on the selected row; each returns 1 when it changed the list.
int RemoveSelectedTask();
int MoveSelectedTaskUp();
int MoveSelectedTaskDown();
