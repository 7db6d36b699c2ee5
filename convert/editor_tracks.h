#pragma once

#include <QObject>
#include <QTimer>
#include <optional>
#include <string>
#include <vector>

#include "convert/child_process.h"
#include "tasks/source_tracks.h"

class TaskEditorDialog;

// Fills the editor's Sound and Subtitles lists whenever its input changes:
// runs the encoder's -probe on each input chosen, one after another, without
// holding up the window, and hands what it told to the editor. An input the
// encoder cannot read leaves the lists at their defaults, with no message:
// the conversion tells what is wrong with it.
class EditorTrackProbe : public QObject {
  Q_OBJECT

 public:
  explicit EditorTrackProbe(TaskEditorDialog& editor);
  ~EditorTrackProbe() override;

  // True while no input is being probed or waiting to be.
  bool Idle() const { return !child_ && !settle_.isActive(); }

 private:
  void Restart();
  void ProbeNext();
  void Poll();

  TaskEditorDialog& editor_;
  QTimer settle_;  // gathers the keys typed into the input field into one probe
  QTimer poll_;
  std::vector<std::string> inputs_;
  std::vector<std::optional<SourceTracks>> found_;
  SourceTracks reading_;
  ChildHandle child_ = 0;
};

// Gives the editor a probe of its own; the editor ends it.
void WatchSourceTracks(TaskEditorDialog& editor);
