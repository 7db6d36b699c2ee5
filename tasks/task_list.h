#pragma once

#include <string>
#include <vector>

#include "tasks/task.h"
#include "tasks/task_list_view.h"

struct AppState;

// An ordered task list, mirrored row for row by the view attached to it. Each
// program state owns one (ProgramTasks); tests may build as many as they like.
class TaskList {
 public:
  TaskList() = default;
  TaskList(const TaskList&) = delete;
  TaskList& operator=(const TaskList&) = delete;

  // Makes view the list's mirror; nullptr detaches it. The caller keeps the
  // view alive while it is attached.
  void AttachView(TaskListView* view);
  // Detaches view if it is the one attached, as its owner goes.
  void DetachView(const TaskListView* view);

  int Count() const;
  Task At(int position) const;  // an empty task outside the list

  // Writes the status cell (column 4) of row `position`; the batch driver
  // writes only this.
  void SetStatusText(int position, const std::string& text);

  // Status bar field 1: "<rows> videos in the list."
  void ShowCount() const;

  // Command handlers on the selected rows; each returns 1 when it changed the
  // list. Remove takes every selected row, the moves the first of them.
  int RemoveSelected();
  // Removes the tasks whose rows show "Converted!" (s61), selected or not.
  int RemoveFinished();
  int MoveSelectedUp();
  int MoveSelectedDown();

  // The task editor's side. Append adds the task and a row showing "Waiting";
  // Replace rewrites the task and its row (status s35), leaving its selection
  // as it was. Both then show the count.
  void Append(const Task& task);
  void Replace(int position, const Task& task);

  // The position of the selected row, -1 when none is selected.
  int SelectedPosition() const;

  // Empties the list and the view without touching the status bar.
  void Clear();

 private:
  // Stands in before a view is attached: no rows, nothing selected.
  class NoView final : public TaskListView {
   public:
    int RowCount() const override { return 0; }
    void InsertRow(int, const TaskRow&) override {}
    void RemoveRow(int) override {}
    std::string CellText(int, int) const override { return {}; }
    void SetCellText(int, int, const std::string&) override {}
    void SetRowDetails(int, const std::string&) override {}
    int SelectedRow() const override { return -1; }
    std::vector<int> SelectedRows() const override { return {}; }
    void ClearSelection() override {}
  };

  bool ValidPosition(int position) const { return position >= 0 && position < Count(); }
  int SelectedOrWarn(const char* textKey) const;
  void ExchangeWithNeighbour(int from, int to);
  int MoveSelected(int step, const char* noSelectionKey);
  void RemoveRows(const std::vector<int>& rows);

  // A vector: everything addresses tasks by position (the editor, the batch
  // driver, the status cell), and exchanging neighbours is a swap.
  std::vector<Task> tasks_;
  NoView detachedView_;
  TaskListView* view_ = &detachedView_;
};

// The task list of the program state `app`, made with it on first use.
TaskList& ProgramTasks(AppState& app);
