#include "convert/editor_tracks.h"

#include <QLineEdit>

#include "Inc/AppState.h"
#include "Inc/TextUtil.h"
#include "tasks/path_field.h"
#include "tasks/task_editor_dialog.h"

namespace {

// Long enough to let a typed path settle, short enough to seem at once.
constexpr int kSettleMs = 150;
constexpr int kPollMs = 10;

}  // namespace

EditorTrackProbe::EditorTrackProbe(TaskEditorDialog& editor) : QObject(&editor), editor_(editor) {
  setObjectName("trackProbe");
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &EditorTrackProbe::Restart);
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &EditorTrackProbe::Poll);
  connect(editor_.Widgets().input, &QLineEdit::textChanged, &settle_, qOverload<>(&QTimer::start));
  Restart();
}

EditorTrackProbe::~EditorTrackProbe() {
  if (child_) {
    KillChild(child_);
    CloseChild(child_);
  }
}

void EditorTrackProbe::Restart() {
  if (child_) {
    KillChild(child_);
    CloseChild(child_);
    child_ = 0;
    poll_.stop();
  }
  inputs_ = editor_.SeveralInputs();
  if (inputs_.empty()) {
    const std::string typed = Trim(PathIn(*editor_.Widgets().input));
    if (!typed.empty()) inputs_.push_back(typed);
  }
  found_.clear();
  ProbeNext();
}

void EditorTrackProbe::ProbeNext() {
  while (found_.size() < inputs_.size()) {
    reading_ = SourceTracks{};
    reading_.input = inputs_[found_.size()];
    child_ = StartChild(editor_.State().encoderPath, {"-probe", inputs_[found_.size()]}, "");
    if (child_) {
      poll_.start();
      return;
    }
    found_.emplace_back();
  }
  editor_.ShowSourceTracks(found_);
}

void EditorTrackProbe::Poll() {
  for (std::string line = ReadErrorLine(child_); !line.empty(); line = ReadErrorLine(child_))
    ReadProbeLine(reading_, line);
  if (ChildRunning(child_) || ChildOutputWaiting(child_)) return;
  const bool read = ChildExitCode(child_) == 0;
  CloseChild(child_);
  child_ = 0;
  poll_.stop();
  found_.push_back(read ? std::optional(reading_) : std::nullopt);
  ProbeNext();
}

void WatchSourceTracks(TaskEditorDialog& editor) { new EditorTrackProbe(editor); }
