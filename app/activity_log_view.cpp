#include "app/activity_log_view.h"

#include "Inc/ActivityLog.h"
#include "app/log_list.h"
#include "app/main_window.h"

namespace {

class LogListView final : public LogView {
 public:
  int LineCount() const override {
    LogList* list = LogListWidget();
    return list != nullptr ? list->LineCount() : 0;
  }
  std::string LineAt(int index) const override {
    LogList* list = LogListWidget();
    return list != nullptr ? list->LineBytes(index) : std::string();
  }
  void AppendAndSelect(const std::string& line) override {
    if (LogList* list = LogListWidget()) list->AppendLine(line);
  }
  void Clear() override {
    if (LogList* list = LogListWidget()) list->Clear();
  }
};

}  // namespace

void AttachMainWindowLog() {
  // Process-wide: it reads whichever main window is built, and the log stays attached across rebuilds.
  static LogListView view;
  AttachLogView(&view);
}
