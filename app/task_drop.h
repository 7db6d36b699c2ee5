#pragma once

class QTreeWidget;

// Files and folders dropped on the task list open the task editor with the
// input files they stand for; drops are refused while a batch runs.
void AcceptFileDrops(QTreeWidget* taskList);
