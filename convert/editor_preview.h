#pragma once

class TaskEditorDialog;

// Adds the Preview and Fit buttons to the editor's free lower left corner;
// both open the preview window beside the editor.
void AddPreviewButtons(TaskEditorDialog& editor);
