#include "convert/batch_driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <utility>
#include <vector>

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
#include "convert/encoder_end_watch.h"
#include "convert/encoder_output_parser.h"
#include "convert/existing_outputs.h"
#include "convert/output_replacement.h"

namespace {

constexpr int kCycleMs = 50;

enum class BatchEnd { Finished, Stopped, EncoderNotStarted };

// One task of the batch, from its encoder's start until its log lines are written.
struct TaskRun {
  int row = 0;
  int index = 0;         // among the tasks the batch converts
  Task task;             // as the encoder gets it: a replacement writes a temporary file
  std::string replaced;  // the output the task names
  bool replacing = false;
  std::string output;  // the file the encoder writes
  bool outputExisted = false;
  ChildHandle encoder = 0;  // 0 once it has ended, been stopped or could not start
  EncoderOutputParser parser;
  // Lines that wait until the tasks started before this one are logged.
  std::vector<std::string> heldLines;
};

struct Batch {
  Batch(const AppState& state, const BatchSeams& batchSeams, BatchProgress batchProgress)
      : app(state),
        seams(batchSeams),
        conversionsAtOnce(std::clamp(state.conversionsAtOnce, 1, kMostConversionsAtOnce)),
        progress(std::move(batchProgress)) {}

  const AppState& app;
  const BatchSeams& seams;
  int conversionsAtOnce;
  BatchProgress progress;
  int errorCount = 0;
  int partlyConvertedCount = 0;
  // In the order they started; the first one's lines go straight to the log,
  // so each task's lines stay together and the log reads as it would had
  // the tasks run one after another.
  std::deque<TaskRun> runs;
  EncoderEndWatch endWatch;
};

int RunningCount(const Batch& batch) {
  return static_cast<int>(
      std::count_if(batch.runs.begin(), batch.runs.end(), [](const TaskRun& run) { return run.encoder != 0; }));
}

void Log(Batch& batch, TaskRun& run, const std::string& line) {
  if (&run == &batch.runs.front())
    batch.seams.addLogLine(line);
  else
    run.heldLines.push_back(line);
}

// Drops the finished tasks at the front, once logged, and writes what the
// next one held back; its later lines then go straight in.
void PassLogTurn(Batch& batch) {
  while (!batch.runs.empty() && batch.runs.front().encoder == 0) {
    batch.runs.pop_front();
    if (batch.runs.empty()) return;
    for (const std::string& line : batch.runs.front().heldLines) batch.seams.addLogLine(line);
    batch.runs.front().heldLines.clear();
  }
}

// Status bar field 0: the task of the total (or, with several at once, how
// many run and how many are done), the time so far and, once it can be
// told, the time left.
void ShowProgress(const Batch& batch) {
  const double now = batch.seams.clockSeconds();
  const std::string total = IntToText(batch.progress.TaskTotal());
  const std::string elapsed = ClockText(static_cast<float>(batch.progress.Elapsed(now)));
  const auto left = batch.progress.SecondsLeft(now);
  if (batch.conversionsAtOnce > 1) {
    const std::string running = IntToText(batch.progress.RunningCount());
    const std::string done = IntToText(batch.progress.EndedCount());
    if (left)
      SetStatusText(0, UiText("s226", {running, done, total, elapsed, ClockText(static_cast<float>(*left))}));
    else
      SetStatusText(0, UiText("s227", {running, done, total, elapsed}));
    return;
  }
  const std::string task = IntToText(batch.progress.TaskNumber());
  if (left)
    SetStatusText(0, UiText("s181", {task, total, elapsed, ClockText(static_cast<float>(*left))}));
  else
    SetStatusText(0, UiText("s182", {task, total, elapsed}));
}

void FollowProgress(Batch& batch, const TaskRun& run) {
  if (run.parser.duration >= 0) batch.progress.TaskDuration(run.index, run.parser.duration);
  batch.progress.TaskPosition(run.index, run.parser.time);
  ShowProgress(batch);
}

// The input sizes of the tasks the batch converts, for the progress. A task
// that converts a part of its source has no size that tells its length.
std::vector<double> SourceBytes(const BatchSeams& seams, const ExistingOutputPlan& plan) {
  std::vector<double> bytes;
  for (int row = 0; row < seams.taskCount(); ++row) {
    if (plan.skip[static_cast<std::size_t>(row)]) continue;
    const Task task = seams.taskAt(row);
    const bool part = !task.From.empty() || !task.To.empty();
    bytes.push_back(part ? 0.0 : static_cast<double>(ProbePath(task.InputFile).size));
  }
  return bytes;
}

// Logs and parses every complete line waiting, so a burst of output never
// falls behind; a flood longer than budgetMs continues in the next cycle.
void ReadWaitingLines(Batch& batch, TaskRun& run, int budgetMs) {
  const auto start = std::chrono::steady_clock::now();
  do {
    const std::string line = Trim(ReadErrorLine(run.encoder));
    if (line.empty()) continue;
    Log(batch, run, "FFMpeg -> " + line);
    if (const auto status = ParseEncoderLine(run.parser, line)) batch.seams.setTaskStatus(run.row, *status);
    FollowProgress(batch, run);
  } while (ChildOutputWaiting(run.encoder) &&
           std::chrono::steady_clock::now() - start < std::chrono::milliseconds(budgetMs));
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
void RemoveIncompleteOutput(Batch& batch, TaskRun& run) {
  if (run.outputExisted || !IsRegularFile(run.output) || ::unlink(run.output.c_str()) != 0) return;
  Log(batch, run, UiText("s124", {run.output}));
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
bool PlaceReplacement(Batch& batch, const TaskRun& run, bool converted) {
  if (!converted) {
    DiscardReplacement(run.task.OutputFile);
    return true;
  }
  if (PutReplacementInPlace(run.task.OutputFile, run.replaced)) return true;
  batch.seams.setTaskStatus(run.row, UiText("s174"));
  ++batch.errorCount;
  return false;
}

// A task waits while a running one writes a file it reads or writes, or reads
// the file it writes, so each task finds the files as a batch of one task
// after another would leave them.
bool MayStartBeside(const Batch& batch, const Task& task) {
  return std::none_of(batch.runs.begin(), batch.runs.end(), [&task](const TaskRun& run) {
    return run.encoder != 0 &&
           (run.replaced == task.OutputFile || run.replaced == task.InputFile || run.task.InputFile == task.OutputFile);
  });
}

// Starts the task at row as the index-th of the batch; false when its
// encoder could not be started.
bool StartTask(Batch& batch, const ExistingOutputPlan& plan, int row, int index) {
  batch.progress.BeginTask(index);
  ShowProgress(batch);
  TaskRun& run = batch.runs.emplace_back();
  run.row = row;
  run.index = index;
  run.task = batch.seams.taskAt(row);
  run.replaced = run.task.OutputFile;
  run.replacing = plan.replace[static_cast<std::size_t>(row)];
  if (run.replacing) run.task.OutputFile = ReplacementPath(run.replaced);
  Log(batch, run, "FFMpeg -> " + BuildEncoderArguments(run.task));
  Log(batch, run, "* FFMpeg(R) *");
  CHECKPOINT();
  run.output = EncoderOutputPath(run.task);
  run.outputExisted = Exists(run.output);
  if (!run.outputExisted) WatchIncompleteOutput(run.output);
  run.encoder = StartChild(batch.app.encoderPath, EncoderArgumentVector(run.task), "");
  if (run.encoder == 0) {
    ForgetIncompleteOutput(run.output);
    batch.progress.EndTask(index);
    return false;
  }
  batch.endWatch.Add(ChildEndDescriptor(run.encoder));
  return true;
}

void ReleaseEncoder(Batch& batch, TaskRun& run) {
  batch.endWatch.Remove(ChildEndDescriptor(run.encoder));
  if (IsChild(run.encoder)) {
    KillChild(run.encoder);
    CloseChild(run.encoder);
  }
  run.encoder = 0;
}

void FinishTask(Batch& batch, TaskRun& run) {
  // Complete, or removed by the encoder itself: no longer ours to remove.
  ForgetIncompleteOutput(run.output);
  CHECKPOINT();
  const bool converted = ChildExitCode(run.encoder) == kEncoderConverted;
  if (!run.replacing || PlaceReplacement(batch, run, converted)) ShowResult(batch, run.encoder, run.row);
  batch.progress.EndTask(run.index);
  ReleaseEncoder(batch, run);
}

// Finishes every task whose encoder has ended and whose last words are
// logged; true when one did, so another task may start.
bool FinishEndedTasks(Batch& batch) {
  bool finished = false;
  for (TaskRun& run : batch.runs) {
    if (run.encoder == 0 || ChildRunning(run.encoder) || ChildOutputWaiting(run.encoder)) continue;
    FinishTask(batch, run);
    finished = true;
  }
  PassLogTurn(batch);
  return finished;
}

// After a confirmed Stop: ends every encoder. True when one was stopped, and
// the batch then ends; one that finished on its own while the question was
// open is reported as at a normal end.
bool StopTasks(Batch& batch) {
  std::vector<bool> stopped;
  for (const TaskRun& run : batch.runs) stopped.push_back(run.encoder != 0 && StopEncoder(run.encoder));
  if (std::find(stopped.begin(), stopped.end(), true) == stopped.end()) return false;
  for (std::size_t i = 0; i < batch.runs.size(); ++i) {
    if (!stopped[i]) continue;
    TaskRun& run = batch.runs[i];
    batch.endWatch.Remove(ChildEndDescriptor(run.encoder));
    CloseChild(run.encoder);
    run.encoder = 0;
    batch.seams.setTaskStatus(run.row, UiText("s35"));
  }
  batch.seams.showTaskCount();
  for (std::size_t i = 0; i < batch.runs.size(); ++i) {
    TaskRun& run = batch.runs[i];
    if (stopped[i]) {
      RemoveIncompleteOutput(batch, run);
      ForgetIncompleteOutput(run.output);
    } else if (run.encoder != 0) {
      while (ChildOutputWaiting(run.encoder)) ReadWaitingLines(batch, run, kCycleMs);
      FinishTask(batch, run);
    }
  }
  PassLogTurn(batch);
  return true;
}

// Waking at an encoder's end spares up to a cycle per task.
int WakeDescriptor(const Batch& batch) {
  if (RunningCount(batch) != 1) return batch.endWatch.Descriptor();
  const auto running =
      std::find_if(batch.runs.begin(), batch.runs.end(), [](const TaskRun& run) { return run.encoder != 0; });
  return ChildEndDescriptor(running->encoder);
}

BatchEnd ConvertAll(const AppState& app, const BatchSeams& seams, const ExistingOutputPlan& plan) {
  Batch batch{app, seams, BatchProgress(SourceBytes(seams, plan), seams.clockSeconds())};
  int row = 0;
  int converted = 0;
  bool notStarted = false;
  // The list cannot change while the batch runs: every command but Stop is dropped.
  for (;;) {
    while (!notStarted && RunningCount(batch) < batch.conversionsAtOnce) {
      while (row < seams.taskCount() && plan.skip[static_cast<std::size_t>(row)]) ++row;
      if (row >= seams.taskCount() || !MayStartBeside(batch, seams.taskAt(row))) break;
      notStarted = !StartTask(batch, plan, row++, converted++);
    }
    if (FinishEndedTasks(batch)) continue;
    const int running = RunningCount(batch);
    if (running == 0) break;
    const int command = seams.waitForCommand(kCycleMs, WakeDescriptor(batch));
    if (command == kButtonStop && StopConfirmed() && StopTasks(batch)) return BatchEnd::Stopped;
    for (TaskRun& run : batch.runs)
      if (run.encoder != 0) ReadWaitingLines(batch, run, kCycleMs / running);
  }
  if (notStarted) {
    ShowMessageBox(UiText("s1"), UiText("s56"), MessageIcon::Error);
    return BatchEnd::EncoderNotStarted;
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

BatchSeams TaskListSeams(AppState& app) {
  TaskList& tasks = ProgramTasks(app);
  BatchSeams seams;
  seams.taskCount = [&tasks] { return tasks.Count(); };
  seams.taskAt = [&tasks](int position) { return tasks.At(position); };
  seams.setTaskStatus = [&tasks](int row, const std::string& text) { tasks.SetStatusText(row, text); };
  seams.showTaskCount = [&tasks] { tasks.ShowCount(); };
  seams.addLogLine = [&app](const std::string& line) { AddLogLine(app, line); };
  return seams;
}

void StartConversion(AppState& app, const BatchSeams& seams) {
  if (seams.taskCount() == 0) {
    ShowMessageBox(UiText("s106"), UiText("s107"), MessageIcon::Warning);
    return;
  }
  if (app.ConversionRunning) return;
  const ExistingOutputPlan plan = PlanExistingOutputs(seams.taskCount(), seams.taskAt);
  if (plan.cancelled || std::find(plan.skip.begin(), plan.skip.end(), false) == plan.skip.end()) return;
  CHECKPOINT();
  SetStatusText(0, UiText("s104"));
  seams.addLogLine(UiText("s104"));
  seams.setToolbarEnabled(false);
  app.ConversionRunning = true;
  const BatchEnd end = ConvertAll(app, seams, plan);
  app.ConversionRunning = false;
  SetStatusText(0, EndText(end));
  seams.addLogLine(EndText(end));
  seams.setToolbarEnabled(true);
  CHECKPOINT();
}
