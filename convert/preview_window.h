#pragma once

#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "convert/child_process.h"
#include "convert/preview_request.h"

class QLabel;
class QPushButton;
class QSlider;
class TaskEditorDialog;

// Shows the picture the encoder makes of the editor's task: it runs the
// encoder's preview mode whenever the size, crop, pad, part, subtitles or input changes, and
// shows the result at twice its size with crisp pixels. A window of its own
// beside the editor, closed and destroyed with it.
class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWindow(TaskEditorDialog& editor);
  ~PreviewWindow() override;

  // Opens beside the editor and asks for a picture.
  void Open();

  // Sets the editor's crop and pad to keep the source's proportions, as soon
  // as the source is known (now, or once the encoder has told it). With
  // several input files no numbers fit them all: it ticks Keep proportions.
  void Fit();

  // True while no picture is being made or waiting to be made.
  bool Idle() const { return !child_ && !pending_ && !settle_.isActive(); }

 private:
  // With several input files, shows the next or the previous one.
  void StepFile(int step);
  void PlaceBesideEditor();
  void Changed();
  void StartEncoder();
  void Poll();
  void Finish(bool succeeded);
  void ApplyFit();
  void ShowMessage(const QString& text);
  QString FailureText(bool succeeded);
  // The editor's task with the input file the preview shows.
  Task PreviewedTask() const;
  void ShowFileChooser();

  TaskEditorDialog& editor_;
  QLabel* picture_ = nullptr;
  QSlider* moment_ = nullptr;
  QLabel* momentText_ = nullptr;
  QLabel* message_ = nullptr;
  QWidget* fileRow_ = nullptr;  // shown only with several input files
  QPushButton* previousFile_ = nullptr;
  QPushButton* nextFile_ = nullptr;
  QLabel* fileText_ = nullptr;
  std::vector<std::string> files_;  // the several input files the index counts in
  std::size_t fileIndex_ = 0;
  QTimer settle_;  // gathers a burst of changes into one picture
  QTimer poll_;
  QTemporaryDir folder_;
  int pictureCount_ = 0;

  ChildHandle child_ = 0;
  bool pending_ = false;  // a change came while the encoder was busy
  std::string picturePath_;
  std::string lastLine_;
  std::string loggedLine_;  // logged once, however often the picture is asked again
  std::string childInput_;  // the input the running encoder reads
  std::optional<PreviewSource> source_;
  std::string sourceInput_;  // the input source_ describes
  bool fitWanted_ = false;
  bool fitting_ = false;  // the spin boxes change because of Fit
  QString fitNote_;
};
