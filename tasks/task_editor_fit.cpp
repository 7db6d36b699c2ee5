#include <QLineEdit>
#include <QSpinBox>

#include "tasks/option_controls.h"
#include "tasks/task_editor_dialog.h"

// The numbers Fit shows in the task editor's window: they fit one input, so
// they are neither remembered for the next task nor kept for another input.

namespace {

bool IsBand(const TaskOption& option) {
  return option.place == ArgumentPlace::Crop || option.place == ArgumentPlace::Pad;
}

}  // namespace

void TaskEditorDialog::ShowFittedBands(const std::array<int, 4>& crop, const std::array<int, 4>& pad) {
  if (!fitted_) fitted_ = FittedBands{Shown(), {}};
  fitted_->input = controls_.input->text();
  connect(controls_.input, &QLineEdit::textChanged, this, &TaskEditorDialog::DropFittedBands, Qt::UniqueConnection);
  for (std::size_t i = 0; i < crop.size(); ++i) {
    controls_.crop[i]->setValue(crop[i]);
    controls_.pad[i]->setValue(pad[i]);
  }
}

Task TaskEditorDialog::Remembered() const {
  Task remembered = Shown();
  if (fitted_)
    for (const TaskOption& option : TaskOptions())
      if (IsBand(option)) SetOptionValue(remembered, option, OptionValue(fitted_->before, option));
  return remembered;
}

// Another input: the numbers shown before Fit come back, so what the spin
// boxes show is what the new input gets.
void TaskEditorDialog::DropFittedBands() {
  if (!fitted_ || controls_.input->text() == fitted_->input) return;
  const Task before = fitted_->before;
  fitted_.reset();
  const auto options = TaskOptions();
  for (std::size_t i = 0; i < options.size(); ++i)
    if (QWidget* control = controls_.options[i]; control && IsBand(options[i]))
      ShowControlValue(*control, options[i].control, OptionValue(before, options[i]));
}
