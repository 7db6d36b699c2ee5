#include "app/batch_title.h"

#include <QMainWindow>
#include <QTreeWidget>

#include "Inc/AppState.h"
#include "Inc/TextUtil.h"
#include "app/main_window.h"
#include "tasks/task_list.h"
#include "tasks/task_list_view.h"
#include "widgets/qt_text.h"

namespace {

// The whole percent at the start of a progress status ("42.0% ready" gives
// "42%"), or nothing for any other status.
QString Percent(const QString& status) {
  int digits = 0;
  while (digits < status.size() && status[digits].isDigit()) ++digits;
  const int sign = status.indexOf(QLatin1Char('%'));
  if (digits == 0 || sign < digits) return {};
  for (int i = digits; i < sign; ++i)
    if (!status[i].isDigit() && status[i] != QLatin1Char('.') && status[i] != QLatin1Char(','))
      return {};
  return status.left(digits) + QLatin1Char('%');
}

}  // namespace

BatchTitle::BatchTitle(const AppState& app) : app_(app) {
  QTreeWidget* list = TaskListWidget(app);
  if (!MainWindow(app) || !list || !app.tasks || app.tasks->Count() == 0 || app.ConversionRunning) return;
  window_ = MainWindow(app);
  original_ = window_->windowTitle();
  Show(0, {});
  watch_ = QObject::connect(list, &QTreeWidget::itemChanged, [this, list](QTreeWidgetItem* item, int column) {
    if (column != kStatusColumn) return;
    // With several conversions at once the title keeps to the first row in
    // progress instead of jumping between rows.
    const int changed = list->indexOfTopLevelItem(item);
    if (changed < 0) return;
    if (Percent(item->text(column)).isEmpty())
      inProgress_.erase(changed);
    else
      inProgress_.insert(changed);
    if (inProgress_.empty()) return Show(changed, item->text(column));
    const int first = *inProgress_.begin();
    Show(first, list->topLevelItem(first)->text(kStatusColumn));
  });
}

BatchTitle::~BatchTitle() {
  QObject::disconnect(watch_);
  if (window_) window_->setWindowTitle(original_);
}

void BatchTitle::Show(int row, const QString& status) {
  if (!window_ || row < 0) return;
  const QString dash = QStringLiteral(" \u2013 ");
  QString title = UiQText("s123", {IntToText(row + 1), IntToText(app_.tasks->Count())}) + dash;
  const QString percent = Percent(status);
  if (!percent.isEmpty()) title += percent + dash;
  window_->setWindowTitle(title + original_);
}
