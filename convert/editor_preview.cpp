#include "convert/editor_preview.h"

#include <QPushButton>

#include "convert/preview_window.h"
#include "tasks/task_editor_dialog.h"
#include "widgets/qt_text.h"

namespace {

PreviewWindow& PreviewOf(TaskEditorDialog& editor) {
  auto* window = editor.findChild<PreviewWindow*>();
  return window ? *window : *new PreviewWindow(editor);
}

QPushButton* AddButton(TaskEditorDialog& editor, const char* key, const char* name, int x, int width) {
  auto* button = new QPushButton(UiQText(key), &editor);
  button->setObjectName(name);
  button->setAutoDefault(false);
  // Left of Cancel and Accept, on their line: nothing of the editor moves.
  button->setGeometry(x, editor.Widgets().cancel->y(), width, 25);
  return button;
}

}  // namespace

void AddPreviewButtons(TaskEditorDialog& editor) {
  QPushButton* preview = AddButton(editor, "s110", "previewButton", 5, 85);
  QPushButton* fit = AddButton(editor, "s111", "fitButton", 95, 60);
  QObject::connect(preview, &QPushButton::clicked, &editor, [&editor] { PreviewOf(editor).Open(); });
  QObject::connect(fit, &QPushButton::clicked, &editor, [&editor] { PreviewOf(editor).Fit(); });
}
