#include "tasks/task_editor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "settings/output_folder_choice.h"
#include "tasks/editor_paths.h"
#include "tasks/option_controls.h"
#include "tasks/path_field.h"
#include "tasks/task_labels.h"
#include "widgets/builtin_images.h"
#include "widgets/modal_owner.h"
#include "widgets/qt_text.h"

namespace {

constexpr int kClientSide = 402;
// Add mode's row for the output folder, below the output: what lies below it
// moves down by this much, and the window grows by it.
constexpr int kFolderRow = 36;

// A number field the user steps with its arrows or the arrow keys, one at a
// time, and cannot type into.
class StepSpinBox final : public QSpinBox {
 public:
  explicit StepSpinBox(QWidget* parent) : QSpinBox(parent) {
    setWrapping(false);
    lineEdit()->setReadOnly(true);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
      event->ignore();
      return;
    }
    QSpinBox::keyPressEvent(event);
  }
};

QPushButton* Button(const char* key, QWidget* parent, int x, int y, int w, int h) {
  auto* button = new QPushButton(UiQText(key), parent);
  button->setAutoDefault(false);
  button->setGeometry(x, y, w, h);
  return button;
}

void Frame(const char* key, QWidget* parent, int x, int y, int w, int h) {
  (new QGroupBox(UiQText(key), parent))->setGeometry(x, y, w, h);
}

QLabel* Label(const QString& text, QWidget* parent, int x, int y, int w, int h) {
  auto* label = new QLabel(text, parent);
  // Language files are text, never markup: a tag in one must not load a picture or show a link.
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(x, y, w, h);
  return label;
}

QLineEdit* PathField(QWidget* parent, int x, int y) {
  auto* field = new QLineEdit(parent);
  field->setGeometry(x, y, 185, 20);
  return field;
}

// A drop-down list that cannot be typed into; its height is the style's own.
QComboBox* DropDown(const std::vector<std::string>& entries, QWidget* parent, int x, int y) {
  auto* list = new QComboBox(parent);
  for (const std::string& entry : entries) list->addItem(QString::fromStdString(entry));
  list->setGeometry(x, y, 335, list->sizeHint().height());
  return list;
}

// Built-in images 11 (cropping) and 12 (padding).
QLabel* Picture(int image, QWidget* parent, int x, int y) {
  QLabel* picture = Label({}, parent, x, y, 50, 50);
  picture->setPixmap(BuiltInImage(image));
  return picture;
}

QSpinBox* Spin(QWidget* parent, int x, int y) {
  auto* spin = new StepSpinBox(parent);
  spin->setGeometry(x, y, 50, 20);
  return spin;
}

}  // namespace

TaskEditorDialog::TaskEditorDialog(AppState& app, const EditorStart& start, QWidget* parent,
                                   const std::vector<std::string>& inputs)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      app_(app),
      start_(start) {
  CHECKPOINT();
  setWindowTitle(UiQText("s6"));
  setFixedSize(kClientSide, kClientSide + (start_.mode == TaskEditorMode::Add ? kFolderRow : 0));
  setWindowModality(Qt::ApplicationModal);
  BuildControls();
  ShowValues(start_.shown);
  if (start_.mode == TaskEditorMode::Add) ShowChosenInputs(inputs);
  // Connected only now: the label keeps s19 whatever value the bar started at.
  connect(controls_.volume, &QSlider::valueChanged, this,
          [this](int value) { controls_.volumeLabel->setText(UiQText(VolumeLabelKey(value))); });
  if (app_.editorExtension) app_.editorExtension(*this);
  PlaceOverOwner(this, parentWidget());
}

void TaskEditorDialog::BuildControls() {
  const int row = start_.mode == TaskEditorMode::Add ? kFolderRow : 0;
  controls_.cancel = Button("s7", this, 220, 370 + row, 85, 25);
  controls_.accept = Button("s8", this, 310, 370 + row, 85, 25);
  controls_.tabs = new QTabWidget(this);
  controls_.tabs->setGeometry(5, 5, 390, 360 + row);
  auto* general = new QWidget;
  controls_.tabs->addTab(general, UiQText("s9"));
  BuildGeneralPage(general);
  auto* advanced = new QWidget;
  controls_.tabs->addTab(advanced, UiQText("s17"));
  BuildAdvancedPage(advanced);
  auto* source = new QWidget;
  controls_.tabs->addTab(source, UiQText("s200"));
  BuildSourcePage(source);
  controls_.tabs->setCurrentIndex(0);
  BindOptionControls();

  connect(controls_.cancel, &QPushButton::clicked, this, &TaskEditorDialog::Cancel);
  connect(controls_.accept, &QPushButton::clicked, this, &TaskEditorDialog::Accept);
  connect(controls_.inputBrowse, &QPushButton::clicked, this, &TaskEditorDialog::BrowseInput);
  connect(controls_.outputBrowse, &QPushButton::clicked, this, &TaskEditorDialog::BrowseOutput);
}

void TaskEditorDialog::BuildGeneralPage(QWidget* page) {
  int row = 0;
  if (start_.mode == TaskEditorMode::Add) {
    row = kFolderRow;
    Label(UiQText("s185"), page, 15, 108, 80, 15);
    proposedIn_ = app_.outputFolder;
    controls_.outputFolder = new OutputFolderChoice(proposedIn_, page);
    controls_.outputFolder->setGeometry(100, 102, 270, 25);
    controls_.outputFolder->OnChange([this] { OutputFolderChanged(); });
  }
  Frame("s10", page, 5, 10, 375, 95 + row);
  Label(UiQText("s11"), page, 15, 38, 80, 15);
  Label(UiQText("s12"), page, 15, 73, 80, 15);
  controls_.input = PathField(page, 100, 35);
  controls_.output = PathField(page, 100, 70);
  controls_.inputBrowse = Button("s13", page, 290, 32, 80, 25);
  controls_.outputBrowse = Button("s13", page, 290, 67, 80, 25);
  Frame("s14", page, 5, 120 + row, 375, 60);
  controls_.resolution = DropDown(ResolutionEntries(), page, 25, 145 + row);
  Frame("s15", page, 5, 195 + row, 375, 60);
  controls_.quality = DropDown(QualityEntries(), page, 25, 220 + row);
  Frame("s16", page, 5, 270 + row, 375, 55);
  controls_.frameRate = DropDown(FrameRateEntries(), page, 25, 290 + row);
}

void TaskEditorDialog::BuildAdvancedPage(QWidget* page) {
  Frame("s18", page, 5, 10, 375, 95);
  controls_.volume = new QSlider(Qt::Horizontal, page);
  controls_.volume->setGeometry(20, 35, 340, 35);
  controls_.volume->setTickPosition(QSlider::TicksBelow);
  controls_.volume->setTickInterval(1);
  controls_.volumeLabel = Label(UiQText("s19"), page, 30, 75, 320, 20);
  Frame("s20", page, 5, 115, 175, 140);
  Frame("s21", page, 200, 115, 175, 140);
  controls_.cropPicture = Picture(11, page, 70, 165);
  controls_.padPicture = Picture(12, page, 265, 165);
  auto& crop = controls_.crop;
  auto& pad = controls_.pad;
  crop[1] = Spin(page, 70, 220);
  crop[3] = Spin(page, 125, 180);
  crop[2] = Spin(page, 15, 180);
  crop[0] = Spin(page, 70, 140);
  pad[0] = Spin(page, 265, 140);
  pad[2] = Spin(page, 210, 180);
  pad[1] = Spin(page, 265, 220);
  pad[3] = Spin(page, 320, 180);
  // In the free band below the crop and pad frames: nothing else moves.
  controls_.keepProportions = new QCheckBox(UiQText("s160"), page);
  controls_.keepProportions->setGeometry(15, 265, 355, 20);
  controls_.keepProportions->setToolTip(PlainToolTip(UiQText("s162")));
}

// Each task option's control, found by the option's name.
void TaskEditorDialog::BindOptionControls() {
  const std::map<std::string_view, QWidget*> byName = {
      {"Resolution", controls_.resolution}, {"Quality", controls_.quality},    {"FrameRate", controls_.frameRate},
      {"Volume", controls_.volume},         {"CropTop", controls_.crop[0]},    {"CropBottom", controls_.crop[1]},
      {"CropLeft", controls_.crop[2]},      {"CropRight", controls_.crop[3]},  {"PadTop", controls_.pad[0]},
      {"PadBottom", controls_.pad[1]},      {"PadLeft", controls_.pad[2]},     {"PadRight", controls_.pad[3]},
      {"KeepProportions", controls_.keepProportions},
      {"Sound", controls_.sound},           {"Subtitles", controls_.subtitles}, {"From", controls_.from},
      {"To", controls_.to},
  };
  for (const TaskOption& option : TaskOptions()) {
    const auto found = byName.find(option.name);
    QWidget* control = found == byName.end() ? nullptr : found->second;
    if (control) LimitControl(*control, option.control, option.lowest, option.highest);
    controls_.options.push_back(control);
  }
}

void TaskEditorDialog::ShowValues(const Task& task) {
  ShowPath(*controls_.input, task.InputFile);
  ShowPath(*controls_.output, task.OutputFile);
  const auto options = TaskOptions();
  for (std::size_t i = 0; i < options.size(); ++i) {
    QWidget* control = controls_.options[i];
    if (control && IsTextOption(options[i]))
      ShowControlText(*control, options[i].control, OptionText(task, options[i]));
    else if (control)
      ShowControlValue(*control, options[i].control, OptionValue(task, options[i]));
  }
}

Task TaskEditorDialog::Shown() const {
  Task task;
  task.InputFile = PathIn(*controls_.input);
  task.OutputFile = PathIn(*controls_.output);
  if (!severalInputs_.empty()) {
    task.InputFile = severalInputs_.front();
    task.OutputFile = ProposeOutputPath(task.InputFile, OutputFolder());
  }
  const auto options = TaskOptions();
  for (std::size_t i = 0; i < options.size(); ++i) {
    const QWidget* control = controls_.options[i];
    if (control && IsTextOption(options[i]))
      SetOptionText(task, options[i], ControlText(*control, options[i].control));
    else if (control)
      SetOptionValue(task, options[i], ControlValue(*control, options[i].control));
  }
  return task;
}

void TaskEditorDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void TaskEditorDialog::BrowseInput() {
  if (start_.mode == TaskEditorMode::Add) {
    if (const auto chosen = BrowseInputFiles()) ShowChosenInputs(*chosen);
    return;
  }
  if (const auto chosen = BrowseInputFile(OutputFolder())) {
    ShowPath(*controls_.input, chosen->inputFile);
    ShowPath(*controls_.output, chosen->proposedOutput);
  }
}

void TaskEditorDialog::BrowseOutput() {
  if (const auto chosen = BrowseOutputFile())
    ShowPath(*controls_.output, *chosen);
}

void TaskEditorDialog::Cancel() {
  StoreEditorDefaults(app_, Remembered());
  reject();
}

void TaskEditorDialog::Accept() {
  const bool done = severalInputs_.empty()
                        ? AcceptTask(app_, start_, Shown(), Remembered(), OutputFolder(), sourceSeconds_)
                        : AcceptTasks(app_, Shown(), severalInputs_, Remembered(), OutputFolder());
  if (done) accept();
}
