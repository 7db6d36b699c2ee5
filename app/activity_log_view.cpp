#include "app/activity_log_view.h"

#include <QListWidget>

#include "Inc/ActivityLog.h"
#include "app/main_window.h"

namespace {

// Each row keeps the line's own bytes beside its display text, so a line that
// is not valid UTF-8 is saved exactly as it was added.
constexpr int kLineBytesRole = Qt::UserRole;

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
    list->setCurrentItem(item);
    list->scrollToItem(item);
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
