#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "tasks/source_tracks.h"
#include "tasks/task_editor_model.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class OutputFolderChoice;

// The task editor's window. While it is open its controls hold the task
// being defined; the rules live in the editor model.
struct AppState;

class TaskEditorDialog : public QDialog {
  Q_OBJECT

 public:
  // The controls, for whoever drives the window (tests read them back).
  struct Controls {
    QPushButton* cancel = nullptr;
    QPushButton* accept = nullptr;
    QTabWidget* tabs = nullptr;
    QLineEdit* input = nullptr;
    QLineEdit* output = nullptr;
    QPushButton* inputBrowse = nullptr;
    QPushButton* outputBrowse = nullptr;
    // Add mode only, below the output: where the new tasks save their files.
    OutputFolderChoice* outputFolder = nullptr;
    QComboBox* resolution = nullptr;
    QComboBox* quality = nullptr;
    QComboBox* frameRate = nullptr;
    QSlider* volume = nullptr;
    QLabel* volumeLabel = nullptr;
    QLabel* cropPicture = nullptr;
    QLabel* padPicture = nullptr;
    // Top, bottom, left, right, as the Task fields.
    std::array<QSpinBox*, 4> crop{};
    std::array<QSpinBox*, 4> pad{};
    QCheckBox* keepProportions = nullptr;
    // The third tab: which sound track, and which part of the source.
    QComboBox* sound = nullptr;
    QComboBox* subtitles = nullptr;
    QLineEdit* from = nullptr;
    QLineEdit* to = nullptr;
    QLabel* duration = nullptr;  // the source's play time, once known
    // The control of each task option, in the order of TaskOptions().
    std::vector<QWidget*> options;
  };

  // Builds the window hidden, filled from start, centred over parent, for the
  // task list and settings of `app`, which it keeps. In add mode, input files
  // chosen before it opened (dropped on the task list or named on the command
  // line) show as if chosen with Browse.
  TaskEditorDialog(AppState& app, const EditorStart& start, QWidget* parent,
                   const std::vector<std::string>& inputs = {});

  // The program state the editor works for; its extensions read it too.
  AppState& State() const { return app_; }

  const Controls& Widgets() const { return controls_; }

  // The paths as typed (with several input files, the first of them and its
  // proposed output, so the preview shows it) and the options as set.
  Task Shown() const;

  // The input files chosen together, when there are several; else none.
  const std::vector<std::string>& SeveralInputs() const { return severalInputs_; }

  // Shows the crop and pad that Fit worked out for the input now shown. They
  // belong to that input alone: the option defaults keep the values shown
  // before, and another input brings those back.
  void ShowFittedBands(const std::array<int, 4>& crop, const std::array<int, 4>& pad);

  // Fills the Sound and Subtitles lists from what the encoder found in the
  // inputs now chosen, one entry per input in order (nothing for one it
  // could not read): the tracks (and subtitle files beside it) of one input,
  // or the languages found across several, since their tracks may lie in
  // different orders. The choice shown stays when the new list offers it,
  // and a language stays in any case.
  void ShowSourceTracks(const std::vector<std::optional<SourceTracks>>& sources);

 protected:
  // The editor has no keyboard shortcuts: Escape and Enter close nothing.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void BuildGeneralPage(QWidget* page);
  void BuildAdvancedPage(QWidget* page);
  void BuildSourcePage(QWidget* page);
  void ForgetSourceTracks();
  void BindOptionControls();
  void ShowValues(const Task& task);
  void BrowseInput();
  void BrowseOutput();
  void Cancel();
  void Accept();

  // Input files chosen together (add mode): one fills the path fields as
  // Browse does; several show as SeveralFilesText, with their outputs
  // proposed, until the user edits the input field.
  void ShowChosenInputs(const std::vector<std::string>& files);
  void InputEdited();
  void LeaveSeveralInputs();

  // Where outputs are proposed: the add mode's choice, else the setting.
  std::string OutputFolder() const;
  // Proposals already shown move to the newly chosen folder; an output the
  // user typed stays.
  void OutputFolderChanged();

  // The options to remember as defaults: those shown, less Fit's numbers.
  Task Remembered() const;
  void DropFittedBands();

  AppState& app_;
  EditorStart start_;
  Controls controls_;
  std::vector<std::string> severalInputs_;
  // The folder the output shown was proposed in.
  std::string proposedIn_;
  // While Fit's numbers show: the options shown before, and the input they fit.
  struct FittedBands {
    Task before;
    QString input;
  };
  std::optional<FittedBands> fitted_;
  double sourceSeconds_ = -1;  // the play time of the one input shown, once the encoder told it
};
