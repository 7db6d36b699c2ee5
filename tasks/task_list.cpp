#include "tasks/task_list.h"

#include <utility>
#include <vector>

#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/TextUtil.h"
#include "Inc/UiSeam.h"
#include "tasks/task_labels.h"
#include "tasks/task_list_view.h"
#include "tasks/task_options.h"

namespace {

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

struct TaskListState {
  // A vector: everything addresses tasks by position (the editor, the batch
  // driver, the status cell), and exchanging neighbours is a swap.
  std::vector<Task> tasks;
  NoView detachedView;
  TaskListView* view = &detachedView;
};

// Process-wide: the commands, the batch driver, the editor and the drop target
// all reach the one list the main window mirrors, none of them given it yet.
TaskListState& State() {
  static TaskListState state;
  return state;
}

std::vector<Task>& Tasks() { return State().tasks; }

TaskListView*& View() { return State().view; }

bool ValidPosition(int position) { return position >= 0 && position < TaskCount(); }

// The selected position, or -1 after telling the user (textKey) to select one.
int SelectedOrWarn(const char* textKey) {
  const int row = View()->SelectedRow();
  if (ValidPosition(row)) return row;
  ShowMessageBox(UiText("s1"), UiText(textKey), MessageIcon::Warning);
  return -1;
}

// Exchanges the task at `from` with its neighbour at `to` and moves the row's
// cells as they stand, status included.
void ExchangeWithNeighbour(int from, int to) {
  CHECKPOINT();
  std::swap(Tasks()[from], Tasks()[to]);
  TaskListView& view = *View();
  TaskRow cells;
  for (int column = 0; column < static_cast<int>(cells.size()); ++column)
    cells[column] = view.CellText(from, column);
  view.RemoveRow(from);
  view.InsertRow(to, cells);
  view.SetRowDetails(to, OptionSummary(Tasks()[to]));
  view.ClearSelection();
}

// Moves the selected task one place by step (-1 up, +1 down); at either end
// of the list nothing happens and nothing is said.
int MoveSelectedTask(int step, const char* noSelectionKey) {
  const int selected = SelectedOrWarn(noSelectionKey);
  if (selected < 0) return 0;
  const int target = selected + step;
  if (TaskCount() < 2 || target < 0 || target >= TaskCount()) return 0;
  ExchangeWithNeighbour(selected, target);
  return 1;
}

// Removes the tasks at the ascending positions and their rows, leaving no
// row selected.
void RemoveRows(const std::vector<int>& rows) {
  CHECKPOINT();
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    Tasks().erase(Tasks().begin() + *row);
    View()->RemoveRow(*row);
  }
  View()->ClearSelection();
  ShowTaskCount();
}

}  // namespace

void AttachTaskListView(TaskListView* view) { View() = view ? view : &State().detachedView; }

int TaskCount() { return static_cast<int>(Tasks().size()); }

Task TaskAt(int position) { return ValidPosition(position) ? Tasks()[position] : Task{}; }

std::string TaskStatusText(int position) {
  return ValidPosition(position) ? View()->CellText(position, kStatusColumn) : std::string();
}

void SetTaskStatusText(int position, const std::string& text) {
  if (ValidPosition(position)) View()->SetCellText(position, kStatusColumn, text);
}

void ShowTaskCount() { SetStatusText(1, IntToText(TaskCount()) + " " + UiText("s36")); }

void AppendTask(const Task& task) {
  CHECKPOINT();
  Tasks().push_back(task);
  const int row = View()->RowCount();
  View()->InsertRow(row, TaskRowTexts(task, "Waiting"));
  View()->SetRowDetails(row, OptionSummary(task));
  ShowTaskCount();
}

void ReplaceTask(int position, const Task& task) {
  if (!ValidPosition(position)) return;
  CHECKPOINT();
  Tasks()[position] = task;
  const TaskRow cells = TaskRowTexts(task, UiText("s35"));
  for (int column = 0; column < static_cast<int>(cells.size()); ++column)
    View()->SetCellText(position, column, cells[column]);
  View()->SetRowDetails(position, OptionSummary(task));
  ShowTaskCount();
}

int SelectedTaskPosition() {
  const int row = View()->SelectedRow();
  return ValidPosition(row) ? row : -1;
}

int RemoveSelectedTask() {
  std::vector<int> rows = View()->SelectedRows();
  std::erase_if(rows, [](int row) { return !ValidPosition(row); });
  if (rows.empty()) {
    ShowMessageBox(UiText("s1"), UiText("s55"), MessageIcon::Warning);
    return 0;
  }
  RemoveRows(rows);
  return 1;
}

int RemoveFinishedTasks() {
  std::vector<int> rows;
  for (int row = 0; row < TaskCount(); ++row)
    if (View()->CellText(row, kStatusColumn) == UiText("s61")) rows.push_back(row);
  if (rows.empty()) return 0;
  RemoveRows(rows);
  return 1;
}

int MoveSelectedTaskUp() { return MoveSelectedTask(-1, "s53"); }

int MoveSelectedTaskDown() { return MoveSelectedTask(1, "s54"); }

void ClearTaskList() {
  Tasks().clear();
  while (View()->RowCount() > 0) View()->RemoveRow(View()->RowCount() - 1);
}
