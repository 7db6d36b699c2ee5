#include "tasks/task_list_widget_view.h"

#include <QItemSelectionModel>
#include <QStringList>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

#include "widgets/qt_text.h"

namespace {

// The paths and the status are often cut short in their cells; their tooltip
// holds the whole text, as written.
void ShowWholeText(QTreeWidgetItem* item, int column) {
  if (column == 0 || column == 1 || column == kStatusColumn) item->setToolTip(column, PlainToolTip(item->text(column)));
}

}  // namespace

int TaskListWidgetView::RowCount() const { return widget_ ? widget_->topLevelItemCount() : 0; }

void TaskListWidgetView::InsertRow(int row, const TaskRow& cells) {
  if (!widget_) return;
  QStringList texts;
  for (const std::string& cell : cells) texts << QString::fromStdString(cell);
  auto* item = new QTreeWidgetItem(texts);
  for (int column = 0; column < item->columnCount(); ++column) ShowWholeText(item, column);
  widget_->insertTopLevelItem(row, item);
}

void TaskListWidgetView::RemoveRow(int row) {
  if (widget_) delete widget_->takeTopLevelItem(row);
}

std::string TaskListWidgetView::CellText(int row, int column) const {
  const QTreeWidgetItem* item = Item(row);
  return item ? item->text(column).toUtf8().toStdString() : std::string();
}

void TaskListWidgetView::SetCellText(int row, int column, const std::string& text) {
  if (QTreeWidgetItem* item = Item(row)) {
    item->setText(column, QString::fromStdString(text));
    ShowWholeText(item, column);
  }
}

// The options are summed up over the two columns that show some of them.
void TaskListWidgetView::SetRowDetails(int row, const std::string& text) {
  if (QTreeWidgetItem* item = Item(row))
    for (const int column : {2, 3}) item->setToolTip(column, PlainToolTip(QtText(text)));
}

int TaskListWidgetView::SelectedRow() const {
  const std::vector<int> rows = SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

std::vector<int> TaskListWidgetView::SelectedRows() const {
  std::vector<int> rows;
  if (!widget_) return rows;
  for (QTreeWidgetItem* item : widget_->selectedItems()) rows.push_back(widget_->indexOfTopLevelItem(item));
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Clears the current row too, so no row looks picked for the next command.
void TaskListWidgetView::ClearSelection() {
  if (widget_ && widget_->selectionModel()) widget_->selectionModel()->clear();
}

QTreeWidgetItem* TaskListWidgetView::Item(int row) const { return widget_ ? widget_->topLevelItem(row) : nullptr; }
