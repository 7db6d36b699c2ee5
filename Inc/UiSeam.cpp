#include "Inc/UiSeam.h"

#include <utility>

namespace {
// Process-wide: the one seam between the program and its user, installed by
// main (or a test) before anything asks the user.
UiHooks& Hooks() {
  static UiHooks hooks;
  return hooks;
}
}  // namespace

void InstallUiHooks(UiHooks hooks) { Hooks() = std::move(hooks); }

MessageAnswer ShowMessageBox(const std::string& title, const std::string& text, MessageIcon icon,
                             MessageButtons buttons) {
  if (Hooks().showMessage) return Hooks().showMessage({title, text, icon, buttons});
  switch (buttons) {
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::ReplaceSkipCancel: return MessageAnswer::Cancel;
    case MessageButtons::Ok: break;
  }
  return MessageAnswer::Ok;
}

std::string AskFileName(const FileDialogRequest& request) {
  return Hooks().askFileName ? Hooks().askFileName(request) : std::string();
}

void SetStatusText(int field, const std::string& text) {
  if (Hooks().setStatusText) Hooks().setStatusText(field, text);
}

void OpenWithShell(const std::string& pathOrUrl) {
  if (Hooks().openWithShell) Hooks().openWithShell(pathOrUrl);
}

std::vector<std::string> AskFileNames(const FileDialogRequest& request) {
  if (Hooks().askFileNames) return Hooks().askFileNames(request);
  std::string chosen = AskFileName(request);
  if (chosen.empty()) return {};
  return {std::move(chosen)};
}

void TellBatchFinished(const std::string& title, const std::string& text) {
  if (Hooks().batchFinished) Hooks().batchFinished(title, text);
}
