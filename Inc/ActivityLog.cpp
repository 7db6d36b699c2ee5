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

void AttachLogView(LogView* view) { App().logView = view; }

void AddLogLine(const std::string& text) {
  CHECKPOINT();
  if (App().LogActions != 1 || App().logView == nullptr) return;
  App().logView->AppendAndSelect(text);
}

void SaveLog() {
  CHECKPOINT();
  LogView* attachedView = App().logView;
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

void ClearLog() {
  CHECKPOINT();
  if (App().logView != nullptr) App().logView->Clear();
}
