#include "convert/batch_driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "Inc/AppState.h"
#include "Inc/CommandIds.h"
#include "Inc/EncoderExitCodes.h"
#include "Inc/ErrorHandler.h"
#include "Inc/FileProbe.h"
#include "Inc/Lang.h"
#include "Inc/TextUtil.h"
#include "Inc/UiSeam.h"
#include "convert/batch_progress.h"
#include "convert/child_process.h"
#include "convert/encoder_arguments.h"
#include "convert/encoder_output_parser.h"
#include "convert/existing_outputs.h"
#include "convert/output_replacement.h"

namespace {

constexpr int kCycleMs = 50;

enum class BatchEnd { Finished, Stopped, EncoderNotStarted };

struct Batch {
  const BatchSeams& seams;
  int errorCount = 0;
  int partlyConvertedCount = 0;
  EncoderOutputParser parser;
  BatchProgress progress;
};

// Status bar field 0: the task of the total, the time so far and, once it can
// be told, the time left.
void ShowProgress(const Batch& batch) {
  const double now = batch.seams.clockSeconds();
  const std::string task = IntToText(batch.progress.TaskNumber());
  const std::string total = IntToText(batch.progress.TaskTotal());
  const std::string elapsed = ClockText(static_cast<float>(batch.progress.Elapsed(now)));
  if (const auto left = batch.progress.SecondsLeft(now))
    SetStatusText(0, UiText("s181", {task, total, elapsed, ClockText(static_cast<float>(*left))}));
  else
    SetStatusText(0, UiText("s182", {task, total, elapsed}));
}

void FollowProgress(Batch& batch) {
  if (batch.parser.duration >= 0) batch.progress.TaskDuration(batch.parser.duration);
  batch.progress.TaskPosition(batch.parser.time);
  ShowProgress(batch);
}

// The input sizes of the tasks the batch converts, for the progress.
std::vector<double> SourceBytes(const BatchSeams& seams, const ExistingOutputPlan& plan) {
  std::vector<double> bytes;
  for (int row = 0; row < seams.taskCount(); ++row)
    if (!plan.skip[static_cast<std::size_t>(row)])
      bytes.push_back(static_cast<double>(ProbePath(seams.taskAt(row).InputFile).size));
  return bytes;
}

// Logs and parses every complete line waiting, so a burst of output never
// falls behind; a flood longer than one cycle continues in the next one.
void ReadWaitingLines(Batch& batch, ChildHandle encoder, int row) {
  const auto start = std::chrono::steady_clock::now();
  do {
    const std::string line = Trim(ReadErrorLine(encoder));
    if (line.empty()) continue;
    batch.seams.addLogLine("FFMpeg -> " + line);
    if (const auto status = ParseEncoderLine(batch.parser, line)) batch.seams.setTaskStatus(row, *status);
    FollowProgress(batch);
  } while (ChildOutputWaiting(encoder) &&
           std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kCycleMs));
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The encoder never overwrites, so an output that did not exist before the
// task started is its own half-written file: it would look like a short but
// valid video and make the next Start fail on it.
void RemoveIncompleteOutput(Batch& batch, const std::string& output, bool existedBefore) {
  if (existedBefore || !IsRegularFile(output) || ::unlink(output.c_str()) != 0) return;
  batch.seams.addLogLine(UiText("s124", {output}));
}

bool StopConfirmed() {
  return ShowMessageBox(UiText("s57"), UiText("s58"), MessageIcon::Question, MessageButtons::YesNo) ==
         MessageAnswer::Yes;
}

// After a confirmed Stop: ends the encoder unless it has already ended by
// itself while the question was open. True when it was stopped; an encoder
// that finished on its own is reported as at a normal end.
bool StopEncoder(ChildHandle encoder) {
  CHECKPOINT();
  KillChild(encoder);
  return ChildRunning(encoder) || ChildExitCode(encoder) == -1;
}

// Follows one running encoder until it has ended and its last words are
// logged. False when the user stopped the batch (the encoder is then gone).
bool FollowEncoder(Batch& batch, ChildHandle encoder, int row) {
  while (ChildRunning(encoder) || ChildOutputWaiting(encoder)) {
    // Waking at the encoder's end spares up to a cycle per task.
    const int command = batch.seams.waitForCommand(kCycleMs, ChildEndDescriptor(encoder));
    if (command == kButtonStop && StopConfirmed() && StopEncoder(encoder)) {
      CloseChild(encoder);
      batch.seams.setTaskStatus(row, UiText("s35"));
      batch.seams.showTaskCount();
      return false;
    }
    ReadWaitingLines(batch, encoder, row);
  }
  return true;
}

void ShowResult(Batch& batch, ChildHandle encoder, int row) {
  const int32_t code = ChildExitCode(encoder);
  if (code == kEncoderConverted) {
    batch.seams.setTaskStatus(row, UiText("s61"));
  } else if (code == kEncoderPartlyConverted) {
    // The output is a playable beginning and stays; the log tells how much it holds.
    batch.seams.setTaskStatus(row, UiText("s140"));
    ++batch.partlyConvertedCount;
  } else {
    batch.seams.setTaskStatus(row, UiText("s60") + " " + IntToText(code));
    ++batch.errorCount;
  }
}

// Only a complete conversion takes the old file's place; a failed one leaves
// it as it was. False when the old file could not be replaced.
bool PlaceReplacement(Batch& batch, int row, const std::string& temporary, const std::string& output,
                      bool converted) {
  if (!converted) {
    DiscardReplacement(temporary);
    return true;
  }
  if (PutReplacementInPlace(temporary, output)) return true;
  batch.seams.setTaskStatus(row, UiText("s174"));
  ++batch.errorCount;
  return false;
}

BatchEnd ConvertAll(const BatchSeams& seams, const ExistingOutputPlan& plan) {
  Batch batch{seams, 0, 0, EncoderOutputParser{}, BatchProgress(SourceBytes(seams, plan), seams.clockSeconds())};
  int converted = 0;
  // The list cannot change while the batch runs: every command but Stop is dropped.
  for (int row = 0; row < seams.taskCount(); ++row) {
    if (plan.skip[static_cast<std::size_t>(row)]) continue;
    batch.progress.BeginTask(converted++);
    ShowProgress(batch);
    Task task = seams.taskAt(row);
    const std::string replaced = task.OutputFile;
    const bool replacing = plan.replace[static_cast<std::size_t>(row)];
    if (replacing) task.OutputFile = ReplacementPath(replaced);
    seams.addLogLine("FFMpeg -> " + BuildEncoderArguments(task));
    seams.addLogLine("* FFMpeg(R) *");
    CHECKPOINT();
    const std::string output = EncoderOutputPath(task);
    const bool outputExisted = Exists(output);
    if (!outputExisted) WatchIncompleteOutput(output);
    const ChildHandle encoder = StartChild(App().encoderPath, EncoderArgumentVector(task), "");
    if (encoder == 0) {
      ForgetIncompleteOutput();
      ShowMessageBox(UiText("s1"), UiText("s56"), MessageIcon::Error);
      return BatchEnd::EncoderNotStarted;
    }
    batch.parser = EncoderOutputParser{};
    if (!FollowEncoder(batch, encoder, row)) {
      RemoveIncompleteOutput(batch, output, outputExisted);
      ForgetIncompleteOutput();
      return BatchEnd::Stopped;
    }
    // Complete, or removed by the encoder itself: no longer ours to remove.
    ForgetIncompleteOutput();
    CHECKPOINT();
    const bool converted = ChildExitCode(encoder) == kEncoderConverted;
    if (!replacing || PlaceReplacement(batch, row, task.OutputFile, replaced, converted)) ShowResult(batch, encoder, row);
    if (IsChild(encoder)) {
      KillChild(encoder);
      CloseChild(encoder);
    }
  }
  const bool allWhole = batch.partlyConvertedCount == 0;
  const std::string title = UiText(batch.errorCount > 0 ? "s1" : allWhole ? "s109" : "s142");
  const std::string summary = UiText(batch.errorCount > 0 ? "s63" : allWhole ? "s62" : "s141");
  TellBatchFinished(title, summary);
  ShowMessageBox(title, summary, MessageIcon::Information);
  return BatchEnd::Finished;
}

// Status bar field 0 and the log tell how the batch ended.
std::string EndText(BatchEnd end) {
  switch (end) {
    case BatchEnd::Finished: return UiText("s105");
    case BatchEnd::Stopped: return UiText("s59");
    case BatchEnd::EncoderNotStarted: return UiText("s56");
  }
  return UiText("s105");
}

}  // namespace

void StartConversion(const BatchSeams& seams) {
  if (seams.taskCount() == 0) {
    ShowMessageBox(UiText("s106"), UiText("s107"), MessageIcon::Warning);
    return;
  }
  if (App().ConversionRunning) return;
  const ExistingOutputPlan plan = PlanExistingOutputs(seams.taskCount(), seams.taskAt);
  if (plan.cancelled || std::find(plan.skip.begin(), plan.skip.end(), false) == plan.skip.end()) return;
  CHECKPOINT();
  SetStatusText(0, UiText("s104"));
  seams.addLogLine(UiText("s104"));
  seams.setToolbarEnabled(false);
  App().ConversionRunning = true;
  const BatchEnd end = ConvertAll(seams, plan);
  App().ConversionRunning = false;
  SetStatusText(0, EndText(end));
  seams.addLogLine(EndText(end));
  seams.setToolbarEnabled(true);
  CHECKPOINT();
}
