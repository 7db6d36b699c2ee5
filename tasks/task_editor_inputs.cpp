#include <QLineEdit>
#include <QPushButton>

#include "Inc/AppState.h"
#include "Inc/TextUtil.h"
#include "settings/output_folder_choice.h"
#include "tasks/editor_paths.h"
#include "tasks/path_field.h"
#include "tasks/task_editor_dialog.h"

// The several-files side of the task editor's window.

namespace {

QString SeveralText(const std::string& first, std::size_t count) {
  return QString::fromStdString(SeveralFilesText(first, count));
}

}  // namespace

void TaskEditorDialog::ShowChosenInputs(const std::vector<std::string>& files) {
  if (files.empty()) return;
  connect(controls_.input, &QLineEdit::textChanged, this, &TaskEditorDialog::InputEdited,
          Qt::UniqueConnection);
  LeaveSeveralInputs();
  ShowPath(*controls_.input, SeveralFilesText(files[0], files.size()));
  proposedIn_ = OutputFolder();
  ShowPath(*controls_.output, SeveralFilesText(ProposeOutputPath(files[0], proposedIn_), files.size()));
  if (files.size() > 1) {
    // The output field tells what Accept will do, and is no place to type.
    controls_.output->setReadOnly(true);
    controls_.outputBrowse->setEnabled(false);
    severalInputs_ = files;
  }
}

void TaskEditorDialog::InputEdited() {
  if (severalInputs_.empty() ||
      controls_.input->text() == SeveralText(severalInputs_[0], severalInputs_.size()))
    return;
  LeaveSeveralInputs();
  controls_.output->clear();
}

void TaskEditorDialog::LeaveSeveralInputs() {
  severalInputs_.clear();
  controls_.output->setReadOnly(false);
  controls_.outputBrowse->setEnabled(true);
}

std::string TaskEditorDialog::OutputFolder() const {
  return controls_.outputFolder ? controls_.outputFolder->Folder() : app_.outputFolder;
}

void TaskEditorDialog::OutputFolderChanged() {
  const std::string folder = OutputFolder();
  if (!severalInputs_.empty()) {
    ShowPath(*controls_.output, SeveralFilesText(ProposeOutputPath(severalInputs_[0], folder), severalInputs_.size()));
  } else {
    const std::string input = Trim(PathIn(*controls_.input));
    if (input.empty() || Trim(PathIn(*controls_.output)) != ProposeOutputPath(input, proposedIn_)) return;
    ShowPath(*controls_.output, ProposeOutputPath(input, folder));
  }
  proposedIn_ = folder;
}
