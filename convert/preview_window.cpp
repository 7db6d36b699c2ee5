#include "convert/preview_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/FileProbe.h"
#include "Inc/TextUtil.h"
#include "tasks/part_check.h"
#include "tasks/task_editor_dialog.h"
#include "widgets/qt_text.h"

namespace {

// Long enough to gather the clicks of a spin box held down, short enough
// that the picture seems to follow at once.
constexpr int kSettleMs = 60;
constexpr int kPollMs = 10;
constexpr int kStepsPerSecond = 10;
constexpr int kGap = 8;

QString MomentText(int steps) { return UiQText("s121", {OneDecimalText(steps / double(kStepsPerSecond))}); }

}  // namespace

PreviewWindow::PreviewWindow(TaskEditorDialog& editor)
    : QWidget(&editor, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      editor_(editor) {
  setWindowTitle(UiQText("s112"));
  // Named, so that what the window shows can be found and read as a user sees it.
  picture_ = new QLabel;
  picture_->setObjectName("previewPicture");
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setStyleSheet("background: black");
  moment_ = new QSlider(Qt::Horizontal);
  moment_->setObjectName("previewMoment");
  moment_->setRange(0, 0);
  momentText_ = new QLabel(MomentText(0));
  message_ = new QLabel;
  message_->setObjectName("previewMessage");
  // The encoder's lines name files, which may look like markup.
  message_->setTextFormat(Qt::PlainText);
  message_->setWordWrap(true);
  fileRow_ = new QWidget;
  previousFile_ = new QPushButton(QString::fromUtf8("\u25C0"));
  previousFile_->setObjectName("previewPrevious");
  previousFile_->setToolTip(PlainToolTip(UiQText("s164")));
  nextFile_ = new QPushButton(QString::fromUtf8("\u25B6"));
  nextFile_->setObjectName("previewNext");
  nextFile_->setToolTip(PlainToolTip(UiQText("s165")));
  fileText_ = new QLabel;
  fileText_->setObjectName("previewFile");
  // A file's name is shown as it is written.
  fileText_->setTextFormat(Qt::PlainText);
  auto* fileRow = new QHBoxLayout(fileRow_);
  fileRow->setContentsMargins(0, 0, 0, 0);
  fileRow->addWidget(previousFile_);
  fileRow->addWidget(fileText_, 1);
  fileRow->addWidget(nextFile_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileRow_);
  layout->addWidget(picture_, 0, Qt::AlignHCenter);
  auto* momentRow = new QHBoxLayout;
  momentRow->addWidget(moment_, 1);
  momentRow->addWidget(momentText_);
  layout->addLayout(momentRow);
  layout->addWidget(message_);
  const ScreenSize screen = TaskScreenSize(editor_.Shown());
  picture_->setFixedSize(2 * screen.width, 2 * screen.height);
  // Wide enough for the largest picture, so the window keeps its size.
  message_->setFixedWidth(2 * 208);
  fileRow_->setFixedWidth(2 * 208);
  ShowFileChooser();
  connect(previousFile_, &QPushButton::clicked, this, [this] { StepFile(-1); });
  connect(nextFile_, &QPushButton::clicked, this, [this] { StepFile(1); });

  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &PreviewWindow::StartEncoder);
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &PreviewWindow::Poll);

  const auto& c = editor_.Widgets();
  connect(c.input, &QLineEdit::textChanged, this, &PreviewWindow::Changed);
  connect(c.resolution, &QComboBox::currentIndexChanged, this, &PreviewWindow::Changed);
  connect(c.frameRate, &QComboBox::currentIndexChanged, this, &PreviewWindow::Changed);
  for (QSpinBox* box : c.crop) connect(box, &QSpinBox::valueChanged, this, &PreviewWindow::Changed);
  for (QSpinBox* box : c.pad) connect(box, &QSpinBox::valueChanged, this, &PreviewWindow::Changed);
  connect(c.keepProportions, &QCheckBox::toggled, this, &PreviewWindow::Changed);
  // The slider spans the part: it follows From and To.
  for (QLineEdit* field : {c.from, c.to}) connect(field, &QLineEdit::textChanged, this, &PreviewWindow::Changed);
  connect(c.subtitles, &QComboBox::currentIndexChanged, this, &PreviewWindow::Changed);
  connect(moment_, &QSlider::valueChanged, this, [this](int steps) {
    momentText_->setText(MomentText(steps));
    Changed();
  });
  connect(&editor_, &QDialog::finished, this, &QWidget::close);
}

PreviewWindow::~PreviewWindow() {
  if (child_) {
    KillChild(child_);
    CloseChild(child_);
  }
}

void PreviewWindow::Open() {
  if (isVisible()) {
    raise();
    return;
  }
  show();
  PlaceBesideEditor();
  StartEncoder();
}

// Right of the editor, else left of it; on a screen too narrow for both, at
// the screen's right edge, covering as little of the editor as it can.
void PreviewWindow::PlaceBesideEditor() {
  const QRect editor = editor_.frameGeometry();
  QScreen* screen = editor_.screen() ? editor_.screen() : QGuiApplication::primaryScreen();
  const int width = frameGeometry().width();
  int x = editor.right() + kGap;
  if (screen) {
    const QRect available = screen->availableGeometry();
    if (x + width > available.right()) x = editor.left() - kGap - width;
    if (x < available.left()) x = std::max(available.left(), available.right() + 1 - width);
  }
  move(x, editor.top());
}

void PreviewWindow::Changed() {
  if (!fitting_) fitNote_.clear();
  ShowFileChooser();
  if (isVisible()) settle_.start();
}

// Another set of files starts again from the first.
void PreviewWindow::ShowFileChooser() {
  if (editor_.SeveralInputs() != files_) {
    files_ = editor_.SeveralInputs();
    fileIndex_ = 0;
  }
  fileRow_->setVisible(!files_.empty());
  if (files_.empty()) return;
  const std::string& file = files_[fileIndex_];
  fileText_->setText(UiQText("s123", {IntToText(static_cast<long long>(fileIndex_ + 1)),
                                       IntToText(static_cast<long long>(files_.size()))}) +
                     "  " + QtText(file.substr(file.find_last_of('/') + 1)));
  fileText_->setToolTip(PlainToolTip(QtText(file)));
  previousFile_->setEnabled(fileIndex_ > 0);
  nextFile_->setEnabled(fileIndex_ + 1 < files_.size());
}

void PreviewWindow::StepFile(int step) {
  const long index = static_cast<long>(fileIndex_) + step;
  if (index < 0 || index >= static_cast<long>(files_.size())) return;
  fileIndex_ = static_cast<std::size_t>(index);
  Changed();
}

// A part still being typed (or out of order) shows the whole source until it reads.
Task PreviewWindow::PreviewedTask() const {
  Task task = editor_.Shown();
  if (fileIndex_ < files_.size()) task.InputFile = files_[fileIndex_];
  if (!PartProblem(task.From, task.To, -1).empty()) {
    task.From.clear();
    task.To.clear();
  }
  return task;
}

void PreviewWindow::ShowMessage(const QString& text) { message_->setText(text); }

void PreviewWindow::StartEncoder() {
  if (child_) {
    pending_ = true;
    return;
  }
  pending_ = false;
  Task task = PreviewedTask();
  task.InputFile = Trim(task.InputFile);
  const ScreenSize screen = TaskScreenSize(task);
  picture_->setFixedSize(2 * screen.width, 2 * screen.height);
  if (task.InputFile.empty()) {
    picture_->clear();
    fitWanted_ = false;
    ShowMessage(UiQText("s113"));
    return;
  }
  if (!folder_.isValid()) {
    ShowMessage(UiQText("s114"));
    return;
  }
  picturePath_ = folder_.filePath(QString("picture-%1.ppm").arg(++pictureCount_)).toStdString();
  const double seconds = moment_->value() / double(kStepsPerSecond);
  child_ = StartChild(editor_.State().encoderPath, PreviewArgumentVector(task, seconds, picturePath_), "");
  if (!child_) {
    ShowMessage(UiQText("s115"));
    return;
  }
  childInput_ = task.InputFile;
  lastLine_.clear();
  poll_.start();
}

void PreviewWindow::Poll() {
  for (std::string line = ReadErrorLine(child_); !line.empty(); line = ReadErrorLine(child_)) {
    lastLine_ = line;
    if (const auto source = ParsePreviewSourceLine(line)) {
      source_ = source;
      sourceInput_ = childInput_;
      if (source->durationSeconds > 0) {
        const int last = static_cast<int>(std::ceil(source->durationSeconds * kStepsPerSecond)) - 1;
        moment_->setRange(0, std::max(0, last));
      }
      // A picture of an input the user has since replaced tells nothing about the new one.
      if (fitWanted_ && sourceInput_ == Trim(PreviewedTask().InputFile)) ApplyFit();
    }
  }
  if (ChildRunning(child_) || ChildOutputWaiting(child_)) return;
  const bool succeeded = ChildExitCode(child_) == 0;
  CloseChild(child_);
  child_ = 0;
  poll_.stop();
  Finish(succeeded);
}

void PreviewWindow::Finish(bool succeeded) {
  const QString path = QString::fromStdString(picturePath_);
  const QImage image = succeeded ? QImage(path) : QImage();
  QFile::remove(path);
  if (!image.isNull()) {
    picture_->setPixmap(QPixmap::fromImage(image.scaled(image.size() * 2, Qt::IgnoreAspectRatio,
                                                        Qt::FastTransformation)));
    ShowMessage(fitNote_);
  } else {
    picture_->clear();
    if (!pending_) fitWanted_ = false;
    ShowMessage(FailureText(succeeded));
  }
  if (pending_) StartEncoder();
}

// The encoder tells its failures in English. An English interface shows its
// line as it stands; any other says in the user's words what failed and
// keeps the encoder's line for the activity log, as a conversion does.
QString PreviewWindow::FailureText(bool succeeded) {
  if (succeeded || lastLine_.empty()) return UiQText("s116");
  if (editor_.State().languageSetting.empty()) return QtText(lastLine_);
  if (!IsNonEmptyFile(childInput_)) return UiQText("s37");
  if (lastLine_ != loggedLine_) AddLogLine(editor_.State(), "FFMpeg -> " + lastLine_);
  loggedLine_ = lastLine_;
  return UiQText(editor_.State().LogActions == 1 ? "s126" : "s117");
}

void PreviewWindow::Fit() {
  if (!editor_.SeveralInputs().empty()) {
    fitting_ = true;
    editor_.Widgets().keepProportions->setChecked(true);
    fitting_ = false;
    fitNote_ = UiQText("s163");
    ShowMessage(fitNote_);
    Open();
    return;
  }
  fitWanted_ = true;
  if (source_ && sourceInput_ == Trim(PreviewedTask().InputFile)) {
    ApplyFit();
    Open();
    return;
  }
  Open();
  if (isVisible() && !child_) settle_.start();
}

void PreviewWindow::ApplyFit() {
  fitWanted_ = false;
  const ScreenSize screen = TaskScreenSize(editor_.Shown());
  const PictureFit fit = FitPicture(source_->picture, screen.width, screen.height);
  fitting_ = true;
  editor_.ShowFittedBands(fit.crop, fit.pad);
  fitting_ = false;
  fitNote_ = QtText(FitNote(fit.stretch));
  ShowMessage(fitNote_);
}
