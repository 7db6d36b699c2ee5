#include <QLineEdit>
#include <QPushButton>

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
  ShowPath(*controls_.output, SeveralFilesText(ProposeOutputPath(files[0]), files.size()));
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
