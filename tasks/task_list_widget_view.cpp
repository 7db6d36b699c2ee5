#include "tasks/task_list_widget_view.h"

#include <QItemSelectionModel>
#include <QPointer>
#include <QStringList>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

#include "tasks/task_list.h"
#include "tasks/task_list_view.h"
#include "widgets/qt_text.h"

namespace {

// The paths and the status are often cut short in their cells; their tooltip
// holds the whole text, as written.
void ShowWholeText(QTreeWidgetItem* item, int column) {
  if (column == 0 || column == 1 || column == kStatusColumn) item->setToolTip(column, PlainToolTip(item->text(column)));
}

// The task list view over a QTreeWidget. The widget may be destroyed with its
// window; the view then acts as an empty one.
class TreeWidgetView final : public TaskListView {
 public:
  void Bind(QTreeWidget* widget) { widget_ = widget; }

  int RowCount() const override { return widget_ ? widget_->topLevelItemCount() : 0; }

  void InsertRow(int row, const TaskRow& cells) override {
    if (!widget_) return;
    QStringList texts;
    for (const std::string& cell : cells) texts << QString::fromStdString(cell);
    auto* item = new QTreeWidgetItem(texts);
    for (int column = 0; column < item->columnCount(); ++column) ShowWholeText(item, column);
    widget_->insertTopLevelItem(row, item);
  }

  void RemoveRow(int row) override {
    if (widget_) delete widget_->takeTopLevelItem(row);
  }

  std::string CellText(int row, int column) const override {
    const QTreeWidgetItem* item = Item(row);
    return item ? item->text(column).toUtf8().toStdString() : std::string();
  }

  void SetCellText(int row, int column, const std::string& text) override {
    if (QTreeWidgetItem* item = Item(row)) {
      item->setText(column, QString::fromStdString(text));
      ShowWholeText(item, column);
    }
  }

  // The options are summed up over the two columns that show some of them.
  void SetRowDetails(int row, const std::string& text) override {
    if (QTreeWidgetItem* item = Item(row))
      for (const int column : {2, 3}) item->setToolTip(column, PlainToolTip(QtText(text)));
  }

  int SelectedRow() const override {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
  }

  std::vector<int> SelectedRows() const override {
    std::vector<int> rows;
    if (!widget_) return rows;
    for (QTreeWidgetItem* item : widget_->selectedItems()) rows.push_back(widget_->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  // Clears the current row too, so no row looks picked for the next command.
  void ClearSelection() override {
    if (widget_ && widget_->selectionModel()) widget_->selectionModel()->clear();
  }

 private:
  QTreeWidgetItem* Item(int row) const { return widget_ ? widget_->topLevelItem(row) : nullptr; }

  QPointer<QTreeWidget> widget_;
};

struct MainTaskListView {
  QPointer<QTreeWidget> widget;  // handed over by the main window, bound at attachment
  TreeWidgetView view;
};

// Process-wide, as the task list it is attached to; it outlives every main window built.
MainTaskListView& Main() {
  static MainTaskListView main;
  return main;
}

}  // namespace

void SetTaskListWidget(QTreeWidget* widget) { Main().widget = widget; }

void AttachTaskListWidget() {
  Main().view.Bind(Main().widget);
  AttachTaskListView(&Main().view);
  ClearTaskList();
}
