#include "Inc/ActivityLog.h"

#include <fstream>

#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"

namespace {

std::string WithTxtExtension(const std::string& name) {
  return name.ends_with(".txt") ? name : name + ".txt";
}

// Writes the lines, each ended by CR LF, over whatever the file held. False
// when the file cannot be created or not every byte reached it.
bool WriteLogFile(const std::string& path, const LogView& view) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  for (int i = 0; i < view.LineCount(); ++i) file << view.LineAt(i) << "\r\n";
  file.close();
  return !file.fail();
}

}  // namespace

void AttachLogView(AppState& app, LogView* view) { app.logView = view; }

void AddLogLine(const AppState& app, const std::string& text) {
  CHECKPOINT();
  if (app.LogActions != 1 || app.logView == nullptr) return;
  app.logView->AppendAndSelect(text);
}

void SaveLog(const AppState& app) {
  CHECKPOINT();
  LogView* attachedView = app.logView;
  if (attachedView == nullptr || attachedView->LineCount() == 0) {
    ShowMessageBox(UiText("s1"), UiText("s103"), MessageIcon::Warning);
    return;
  }
  const std::string chosen = AskFileName({FileDialogKind::Save, UiText("s101"), "Text (*.txt)"});
  if (chosen.empty()) return;
  CHECKPOINT();
  if (!WriteLogFile(WithTxtExtension(chosen), *attachedView)) {
    ShowMessageBox(UiText("s1"), UiText("s102"), MessageIcon::Error);
  }
}

void ClearLog(const AppState& app) {
  CHECKPOINT();
  if (app.logView != nullptr) app.logView->Clear();
}
