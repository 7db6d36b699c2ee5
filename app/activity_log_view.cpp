#include "app/activity_log_view.h"

#include <QListWidget>
#include <QTimer>

#include "Inc/ActivityLog.h"
#include "app/main_window.h"

namespace {

// Each row keeps the line's own bytes beside its display text, so a line that
// is not valid UTF-8 is saved exactly as it was added.
constexpr int kLineBytesRole = Qt::UserRole;
constexpr const char* kSelectionPending = "mflpxSelectionPending";

class LogListView final : public LogView {
 public:
  int LineCount() const override {
    QListWidget* list = LogListWidget();
    return list != nullptr ? list->count() : 0;
  }
  std::string LineAt(int index) const override {
    QListWidget* list = LogListWidget();
    QListWidgetItem* item = list != nullptr ? list->item(index) : nullptr;
    return item != nullptr ? item->data(kLineBytesRole).toByteArray().toStdString() : std::string();
  }
  void AppendAndSelect(const std::string& line) override {
    QListWidget* list = LogListWidget();
    if (list == nullptr) return;
    const QByteArray bytes(line.data(), static_cast<qsizetype>(line.size()));
    auto* item = new QListWidgetItem(QString::fromUtf8(bytes), list);
    item->setData(kLineBytesRole, bytes);
    // Selecting makes the list lay out every line it holds. Once per pass of
    // the event loop, however many lines came in it, a line costs the same at
    // the 100,000th as at the 10th, and the newest is selected before the
    // window shows it.
    if (list->property(kSelectionPending).toBool()) return;
    list->setProperty(kSelectionPending, true);
    QTimer::singleShot(0, list, [list] {
      list->setProperty(kSelectionPending, false);
      list->setCurrentRow(list->count() - 1);
      list->scrollToBottom();
    });
  }
  void Clear() override {
    if (QListWidget* list = LogListWidget()) list->clear();
  }
};

}  // namespace

void AttachMainWindowLog() {
  static LogListView view;
  AttachLogView(&view);
}
