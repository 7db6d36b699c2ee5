#include "app/activity_log_view.h"

#include <memory>

#include "Inc/ActivityLog.h"
#include "app/log_list.h"
#include "app/main_window.h"

namespace {

// Reads whichever main window its state has, so it stays attached across rebuilds.
class LogListView final : public LogView {
 public:
  explicit LogListView(const AppState& app) : app_(app) {}

  int LineCount() const override {
    LogList* list = LogListWidget(app_);
    return list != nullptr ? list->LineCount() : 0;
  }
  std::string LineAt(int index) const override {
    LogList* list = LogListWidget(app_);
    return list != nullptr ? list->LineBytes(index) : std::string();
  }
  void AppendAndSelect(const std::string& line) override {
    if (LogList* list = LogListWidget(app_)) list->AppendLine(line);
  }
  void Clear() override {
    if (LogList* list = LogListWidget(app_)) list->Clear();
  }

 private:
  const AppState& app_;
};

}  // namespace

void AttachMainWindowLog(AppState& app) {
  if (!app.mainWindowLog) app.mainWindowLog = std::make_shared<LogListView>(app);
  AttachLogView(app, app.mainWindowLog.get());
}
