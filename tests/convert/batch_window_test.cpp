#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "app/activity_log_view.h"
#include "app/commands.h"
#include "app/log_list.h"
#include "app/main_window.h"
#include "app/main_window_bars.h"
#include "comma_locale.h"
#include "convert/encoder_arguments.h"
#include "stand_in_encoder.h"
#include "status_bar_text.h"
#include "tasks/task_list.h"
#include "task_row_status.h"

namespace {

using Lines = std::vector<std::string>;

QAction* ToolbarButton(AppState& app, int commandId) {
  const QString label = QString::fromStdString(UiText(ToolbarLabelKey(commandId)));
  for (QAction* action : MainToolbar(app)->actions())
    if (action->text() == label) return action;
  return nullptr;
}

// Processes this test program started and has not reaped, zombies included.
std::vector<pid_t> OwnChildren() {
  std::vector<pid_t> children;
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return children;
  while (const dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
    std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int parent = 0;
    if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &parent) == 2 && parent == getpid())
      children.push_back(std::atoi(entry->d_name));
  }
  closedir(proc);
  return children;
}

// Waits (up to ten seconds) until the process whose id the stand-in wrote to
// file has ended: it is a zombie, or gone.
void WaitForEnd(const std::string& file) {
  for (int i = 0; i < 1000; ++i) {
    std::ifstream in(file);
    pid_t pid = 0;
    if (in >> pid) {
      std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
      std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
      const auto close = text.rfind(')');
      if (close == std::string::npos || text.compare(close + 1, 2, " Z") == 0) return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ADD_FAILURE() << "the stand-in encoder did not end";
}

Lines LogLines(AppState& app) {
  Lines lines;
  for (int i = 0; i < LogListWidget(app)->LineCount(); ++i)
    lines.push_back(LogListWidget(app)->model()->index(i, 0).data().toString().toStdString());
  return lines;
}

// The real main window, task list view and activity log, with message boxes
// answered here and a stand-in encoder in a scratch program directory.
class BatchWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, program.Dir());
    app.LogActions = 1;
    app.conversionsAtOnce = 1;
    app.quit = false;
    ASSERT_TRUE(BuildMainWindow(app));
    AttachTaskListWidget(app);
    AttachMainWindowLog(app);
    UiHooks hooks;
    hooks.showMessage = [this](const MessageRequest& request) {
      boxes.push_back(request.title + " | " + request.text);
      if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
      if (request.buttons == MessageButtons::ReplaceSkipCancel) return existingAnswer;
      if (whileAsked) whileAsked();
      return answer;
    };
    hooks.setStatusText = [this](int field, const std::string& text) { SetStatusFieldText(app, field, text); };
    InstallUiHooks(hooks);
  }
  void TearDown() override {
    InstallUiHooks({});
    DestroyMainWindow(app);
  }

  void Encoder(const std::string& body) { WriteStandInEncoder(program, body); }

  Task AddTask(const std::string& input, const std::string& output) {
    const Task task = TaskFor(input, output);
    ProgramTasks(app).Append(task);
    return task;
  }

  // Runs fn once the batch has been running for ms milliseconds.
  void During(int ms, std::function<void()> fn) { QTimer::singleShot(ms, MainWindow(app), std::move(fn)); }

  // Runs fn, during the batch, once condition holds (at the latest after ten
  // seconds), so a check never depends on how fast a loaded machine is.
  void When(std::function<bool()> condition, std::function<void()> fn) {
    auto* timer = new QTimer(MainWindow(app));
    auto started = std::chrono::steady_clock::now();
    QObject::connect(timer, &QTimer::timeout, [=] {
      if (!condition() && std::chrono::steady_clock::now() - started < std::chrono::seconds(10)) return;
      timer->stop();
      fn();
    });
    timer->start(20);
  }

  bool Logged(const std::string& line) {
    const Lines lines = LogLines(app);
    return std::find(lines.begin(), lines.end(), "FFMpeg -> " + line) != lines.end();
  }

  // Runs a batch whose stand-in waits (kWaitForGo) after writing line, and
  // gives what row 0 showed once the line was logged.
  std::string RowOnceLogged(const std::string& line) {
    std::string shown;
    When([&] { return Logged(line); },
         [&] {
           shown = RowStatus(app, 0);
           Go();
         });
    PressStart();
    return shown;
  }

  // Lets a stand-in encoder that waits for it (kWaitForGo) go on.
  void Go() { program.Write("go", ""); }

  void PressStart() { ToolbarButton(app, 58)->trigger(); }

  AppState app;
  ScratchDir program;
  Lines boxes;
  MessageAnswer answer = MessageAnswer::No;
  MessageAnswer existingAnswer = MessageAnswer::Cancel;  // outputs that exist at Start
  std::function<void()> whileAsked;
};

// Waits (up to ten seconds) until the test calls Go().
const std::string kWaitForGo =
    R"(i=0; while [ ! -e "${0%/Core/ffmpeg}/go" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done
)";

const std::string kProgressEncoder = R"(printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
printf 'frame=   10 fps=  0 q=3.0 size=       4kB time=5.00 bitrate=   6.5kbits/s\r' >&2
case "$2" in
  *bad*) printf 'Conversion failed!' >&2; exit 1;;
  *slow*) )" + kWaitForGo + R"(;;
esac
printf 'frame=   20 fps=  0 q=3.0 size=       8kB time=10.00 bitrate=   6.5kbits/s\n' >&2
)";

TEST_F(BatchWindow, RowsLogAndClosingBoxes) {
  Encoder(kProgressEncoder);
  const Task good = AddTask("/v/good.avi", "/v/good.amv");
  const Task bad = AddTask("/v/bad clip.avi", "/v/bad clip.amv");
  PressStart();
  EXPECT_EQ(RowStatus(app, 0), "Converted!");
  EXPECT_EQ(RowStatus(app, 1), "FFmpeg error. Code 1");
  EXPECT_EQ(boxes, Lines{"Error | Conversion finished with errors. Please check the log for details."});
  EXPECT_EQ(StatusBarText(app, 0), "Conversion finished...");
  EXPECT_TRUE(ToolbarButton(app, 58)->isEnabled());
  EXPECT_FALSE(CommandInterceptorActive(app));
  EXPECT_EQ(LogLines(app),
            (Lines{"Conversion in progress...",
                   "FFMpeg -> " + BuildEncoderArguments(good), "* FFMpeg(R) *",
                   "FFMpeg -> Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s",
                   "FFMpeg -> frame=   10 fps=  0 q=3.0 size=       4kB time=5.00 bitrate=   6.5kbits/s",
                   "FFMpeg -> frame=   20 fps=  0 q=3.0 size=       8kB time=10.00 bitrate=   6.5kbits/s",
                   "FFMpeg -> " + BuildEncoderArguments(bad), "* FFMpeg(R) *",
                   "FFMpeg -> Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s",
                   "FFMpeg -> frame=   10 fps=  0 q=3.0 size=       4kB time=5.00 bitrate=   6.5kbits/s",
                   "FFMpeg -> Conversion failed!", "Conversion finished..."}));

  ProgramTasks(app).Clear();
  AddTask("/v/good.avi", "/v/good.amv");
  boxes.clear();
  PressStart();
  EXPECT_EQ(boxes, Lines{"Success | Conversion finished successfully."});
}

TEST_F(BatchWindow, DuringABatchOnlyStopActs) {
  Encoder(kProgressEncoder);
  AddTask("/v/slow.avi", "/v/slow.amv");
  AddTask("/v/other.avi", "/v/other.amv");
  TaskListWidget(app)->setCurrentItem(TaskListWidget(app)->topLevelItem(1));
  bool checked = false;
  During(200, [&] {
    checked = true;
    EXPECT_TRUE(app.ConversionRunning);
    EXPECT_FALSE(ToolbarButton(app, 58)->isEnabled());
    EXPECT_FALSE(ToolbarButton(app, 50)->isEnabled());
    EXPECT_TRUE(ToolbarButton(app, 59)->isEnabled());
    EXPECT_FALSE(MainWindow(app)->close()) << "the close box does nothing during a batch";
    for (int command : {10, 1, 51, 58, 4}) DispatchCommand(app, command);  // clear log, remove, start, move up
    Go();
  });
  PressStart();
  EXPECT_TRUE(checked);
  EXPECT_EQ(ProgramTasks(app).Count(), 2);
  EXPECT_EQ(RowStatus(app, 0), "Converted!");
  EXPECT_EQ(RowStatus(app, 1), "Converted!");
  EXPECT_EQ(LogLines(app).front(), "Conversion in progress...") << "Clear log was dropped";
  EXPECT_EQ(boxes, Lines{"Success | Conversion finished successfully."});
}

TEST_F(BatchWindow, StopAnsweredYesEndsTheBatch) {
  Encoder(R"(printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
exec sleep 30
)");
  AddTask("/v/a.avi", "/v/a.amv");
  AddTask("/v/b.avi", "/v/b.amv");
  answer = MessageAnswer::Yes;
  During(200, [this] { ToolbarButton(app, 59)->trigger(); });
  const auto started = std::chrono::steady_clock::now();
  PressStart();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(boxes, Lines{"Please confirm | Are you sure you want to cancel the current operation?"});
  EXPECT_EQ(RowStatus(app, 0), "Waiting");
  EXPECT_EQ(RowStatus(app, 1), "Waiting");
  EXPECT_EQ(StatusBarText(app, 1), "2 videos in the list.");
  EXPECT_EQ(StatusBarText(app, 0), "Conversion stopped by user...");
  EXPECT_EQ(LogLines(app).back(), "Conversion stopped by user...");
  EXPECT_TRUE(ToolbarButton(app, 58)->isEnabled());
  EXPECT_FALSE(app.ConversionRunning);
  EXPECT_FALSE(CommandInterceptorActive(app));
}

TEST_F(BatchWindow, StopAnsweredNoLetsTheEncoderGoOn) {
  Encoder(R"(printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
)" + kWaitForGo + R"(printf 'frame=   20 fps=  0 q=3.0 size=       8kB time=10.00 bitrate=   6.5kbits/s\n' >&2
)");
  AddTask("/v/a.avi", "/v/a.amv");
  answer = MessageAnswer::No;
  // The question neither holds nor ends the encoder: it goes on when told to.
  whileAsked = [this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Go();
  };
  During(150, [this] { ToolbarButton(app, 59)->trigger(); });
  PressStart();
  EXPECT_EQ(boxes, (Lines{"Please confirm | Are you sure you want to cancel the current operation?",
                          "Success | Conversion finished successfully."}));
  EXPECT_EQ(RowStatus(app, 0), "Converted!");
  EXPECT_EQ(LogLines(app).back(), "Conversion finished...");
}

TEST_F(BatchWindow, IdenticalTasksEachReportIntoTheirOwnRow) {
  Encoder(R"(if [ -e "$0.ran" ]; then exit 0; fi
: > "$0.ran"; exit 3
)");
  AddTask("/v/same.avi", "/v/same.amv");
  AddTask("/v/same.avi", "/v/same.amv");
  PressStart();
  EXPECT_EQ(RowStatus(app, 0), "FFmpeg error. Code 3");
  EXPECT_EQ(RowStatus(app, 1), "Converted!");
}

TEST_F(BatchWindow, EncoderThatCannotStartKeepsTheProgramAndTheList) {
  AddTask("/v/a.avi", "/v/a.amv");
  AddTask("/v/b.avi", "/v/b.amv");
  PressStart();
  EXPECT_EQ(boxes, Lines{"Error | " + UiText("s56")});
  EXPECT_FALSE(app.quit);
  EXPECT_EQ(ProgramTasks(app).Count(), 2);
  EXPECT_EQ(RowStatus(app, 0), "Waiting");
  EXPECT_EQ(RowStatus(app, 1), "Waiting");
  EXPECT_TRUE(ToolbarButton(app, 58)->isEnabled());
  EXPECT_FALSE(CommandInterceptorActive(app));

  Encoder(kProgressEncoder);
  boxes.clear();
  PressStart();
  EXPECT_EQ(RowStatus(app, 1), "Converted!") << "the list converts once the encoder is in place";
}

// The stand-in writes its output (the last argument) as a real encoder does,
// and its process id, then waits for the test before it finishes.
const std::string kWritingEncoder = R"(for out; do :; done
printf 'partial' > "$out"
echo $$ > "${0%/Core/ffmpeg}/pid"
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
)" + kWaitForGo + R"(printf ' complete' >> "$out"
printf 'frame=   20 fps=  0 q=3.0 size=       8kB time=10.00 bitrate=   6.5kbits/s\n' >&2
)";

TEST_F(BatchWindow, StopAnsweredYesAfterTheEncoderFinishedReportsWhatHappened) {
  Encoder(kWritingEncoder);
  const std::string first = program.Path("first.amv");
  AddTask("/v/a.avi", first);
  AddTask("/v/b.avi", program.Path("second.amv"));
  answer = MessageAnswer::Yes;
  bool asked = false;
  // The encoder finishes while the question is open.
  whileAsked = [&] {
    if (asked) return;
    asked = true;
    Go();
    WaitForEnd(program.Path("pid"));
  };
  When([&] { return RowStatus(app, 0) == "0.0% ready"; }, [this] { ToolbarButton(app, 59)->trigger(); });
  PressStart();
  EXPECT_EQ(boxes, (Lines{"Please confirm | Are you sure you want to cancel the current operation?",
                          "Success | Conversion finished successfully."}));
  EXPECT_EQ(RowStatus(app, 0), "Converted!");
  EXPECT_EQ(RowStatus(app, 1), "Converted!") << "the batch goes on";
  EXPECT_EQ(program.Read("first.amv"), "partial complete") << "a finished output is kept";
  EXPECT_EQ(StatusBarText(app, 0), "Conversion finished...");
  EXPECT_EQ(LogLines(app).back(), "Conversion finished...");
}

// The whole stop as the user sees it, under a locale with a decimal comma:
// the row, the bars, the saved log; the half-written output is gone and the
// encoder is neither running nor left a zombie.
TEST_F(BatchWindow, StopRemovesTheIncompleteOutputAndReapsTheEncoder) {
  const CommaLocale comma;
  ASSERT_TRUE(comma.Active());
  Encoder(R"(for out; do :; done
printf 'partial' > "$out"
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
printf 'frame=   10 fps=  0 q=3.0 size=       4kB time=0.92 bitrate=   6.5kbits/s\n' >&2
exec sleep 30
)");
  const std::string output = program.Path("out.amv");
  AddTask("/v/a.avi", output);
  answer = MessageAnswer::Yes;
  When([&] { return RowStatus(app, 0) == "9.2% ready"; }, [this] { ToolbarButton(app, 59)->trigger(); });
  PressStart();
  EXPECT_EQ(RowStatus(app, 0), "Waiting");
  EXPECT_EQ(StatusBarText(app, 0), "Conversion stopped by user...");
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(OwnChildren(), std::vector<pid_t>{}) << "the encoder is reaped at once";

  const std::string saved = program.Path("log.txt");
  UiHooks hooks;
  hooks.askFileName = [&](const FileDialogRequest&) { return saved; };
  InstallUiHooks(hooks);
  SaveLog(app);
  const std::string text = program.Read("log.txt");
  EXPECT_NE(text.find("\r\nFFMpeg -> frame=   10 fps=  0 q=3.0 size=       4kB time=0.92 bitrate=   "
                      "6.5kbits/s\r\nIncomplete output removed: " + output +
                      "\r\nConversion stopped by user...\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("9,2"), std::string::npos);
}

TEST_F(BatchWindow, StopDuringAReplaceKeepsTheOldFileAndRemovesTheNewOne) {
  Encoder(R"(for out; do :; done
printf 'partial' > "$out"
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
exec sleep 30
)");
  const std::string output = program.Write("old.amv", "the user's own");
  AddTask("/v/a.avi", output);
  existingAnswer = MessageAnswer::Replace;
  answer = MessageAnswer::Yes;
  When([&] { return RowStatus(app, 0) == "0.0% ready"; }, [this] { ToolbarButton(app, 59)->trigger(); });
  PressStart();
  EXPECT_EQ(RowStatus(app, 0), "Waiting");
  EXPECT_EQ(program.Read("old.amv"), "the user's own");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.Dir()), {}), 2) << "Core and the old file";
  EXPECT_EQ(LogLines(app).back(), "Conversion stopped by user...");
}

// Outputs that exist at Start are asked about once: Cancel starts nothing,
// Skip converts the other tasks only, Replace puts each new file in place.
TEST_F(BatchWindow, OutputsThatExistAreReplacedSkippedOrLeftAsTheUserSays) {
  Encoder(R"(for out; do :; done
case "$2" in *bad*) printf 'partial' > "$out"; exit 1;; esac
printf 'new' > "$out"
)");
  const struct {
    MessageAnswer answer;
    Lines rows;
    const char* a;
    const char* b;
  } cases[] = {
      {MessageAnswer::Cancel, {"Waiting", "Waiting", "Waiting"}, "old a", "old bad"},
      {MessageAnswer::Skip, {"Waiting", "Converted!", "Waiting"}, "old a", "old bad"},
      {MessageAnswer::Replace, {"Converted!", "Converted!", "FFmpeg error. Code 1"}, "new", "old bad"},
  };
  for (const auto& c : cases) {
    ProgramTasks(app).Clear();
    ClearLog(app);
    boxes.clear();
    program.Write("a.amv", "old a");
    program.Write("bad.amv", "old bad");
    std::filesystem::remove(program.Path("fresh.amv"));
    AddTask("/v/a.avi", program.Path("a.amv"));
    AddTask("/v/fresh.avi", program.Path("fresh.amv"));
    AddTask("/v/bad.avi", program.Path("bad.amv"));
    existingAnswer = c.answer;
    PressStart();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0], "Please confirm | These output files already exist:\n" + program.Path("a.amv") + "\n" +
                            program.Path("bad.amv") +
                            "\n\nReplace them? Each old file is replaced only once its new conversion is "
                            "complete. Skip converts the other tasks only; Cancel starts nothing.");
    EXPECT_EQ((Lines{RowStatus(app, 0), RowStatus(app, 1), RowStatus(app, 2)}), c.rows);
    EXPECT_EQ(program.Read("a.amv"), c.a);
    EXPECT_EQ(program.Read("bad.amv"), c.b);
    EXPECT_EQ(LogLines(app).empty(), c.answer == MessageAnswer::Cancel);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.Dir()), {}),
              c.answer == MessageAnswer::Cancel ? 3 : 4)
        << "Core, a.amv, bad.amv and fresh.amv: no temporary file is left";
  }
}

// Only a regular file can be the encoder's own half-written output; a link
// that appeared at the output's name during the task is left alone.
TEST_F(BatchWindow, StopNeverRemovesWhatIsNotARegularFile) {
  Encoder(R"(for out; do :; done
ln -s "${0%/Core/ffmpeg}/elsewhere.amv" "$out"
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
exec sleep 30
)");
  program.Write("elsewhere.amv", "kept");
  const std::string output = program.Path("link.amv");
  AddTask("/v/a.avi", output);
  answer = MessageAnswer::Yes;
  When([&] { return RowStatus(app, 0) == "0.0% ready"; }, [this] { ToolbarButton(app, 59)->trigger(); });
  PressStart();
  EXPECT_TRUE(std::filesystem::is_symlink(output));
  EXPECT_EQ(program.Read("elsewhere.amv"), "kept");
  EXPECT_EQ(LogLines(app).end()[-2], "FFMpeg -> Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s");
}

// An output an earlier task of the batch wrote is not the stopped task's own.
TEST_F(BatchWindow, StopKeepsAnOutputThatAppearedBeforeItsTaskStarted) {
  Encoder(R"(for out; do :; done
if [ -e "$out" ]; then
  printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
  exec sleep 30
fi
printf 'first' > "$out"
)");
  const std::string output = program.Path("same.amv");
  AddTask("/v/a.avi", output);
  AddTask("/v/b.avi", output);
  answer = MessageAnswer::Yes;
  When([&] { return RowStatus(app, 1) == "0.0% ready"; }, [this] { ToolbarButton(app, 59)->trigger(); });
  PressStart();
  EXPECT_EQ(RowStatus(app, 0), "Converted!");
  EXPECT_EQ(program.Read("same.amv"), "first");
}

TEST_F(BatchWindow, ProgressReadsTheSameUnderADecimalCommaLocale) {
  const CommaLocale comma;
  ASSERT_TRUE(comma.Active());
  const std::string progress = "frame=   10 fps=  0 q=3.0 size=       4kB time=7.69 bitrate=   6.5kbits/s";
  Encoder("printf '  Duration: 00:01:23.45, start: 0.000000, bitrate: 100 kb/s\\n' >&2\nprintf '" + progress +
          "\\n' >&2\n" + kWaitForGo);
  AddTask("/v/slow.avi", "/v/slow.amv");
  EXPECT_EQ(RowOnceLogged(progress), "9.2% ready");
}

TEST_F(BatchWindow, AnUnknownDurationShowsTheTimeConverted) {
  const std::string progress = "frame=  300 fps=  0 q=3.0 size=     400kB time=75.50 bitrate=   6.5kbits/s";
  Encoder("printf '  Duration: N/A, start: 0.000000, bitrate: N/A\\n' >&2\nprintf '" + progress + "\\r' >&2\n" +
          kWaitForGo);
  AddTask("/v/raw.h264", "/v/raw.amv");
  EXPECT_EQ(RowOnceLogged(progress), "0:01:15");
  EXPECT_EQ(RowStatus(app, 0), "Converted!");
}

TEST_F(BatchWindow, AnOutputTypedWithALeadingDashReachesTheEncoderAsAFile) {
  Encoder(R"(for out; do :; done
printf '%s' "$out" > "${0%/Core/ffmpeg}/received"
)");
  AddTask("/v/a.avi", "-y.amv");
  PressStart();
  EXPECT_EQ(program.Read("received"), "./-y.amv");
  EXPECT_EQ(RowStatus(app, 0), "Converted!");
}

// While a batch runs, the status bar tells the task of the total, the time
// so far and, once the encoder has told how far it is, the time left.
TEST_F(BatchWindow, TheStatusBarTellsTheTaskOfTheTotalAndTheTimes) {
  Encoder(kProgressEncoder);
  AddTask("/v/a.avi", "/v/a.amv");
  AddTask("/v/slow.avi", "/v/slow.amv");
  std::string shown;
  When([this] { return StatusBarText(app, 0).find("left") != std::string::npos && RowStatus(app, 1) == "50.0% ready"; },
       [&] {
         shown = StatusBarText(app, 0);
         Go();
       });
  PressStart();
  EXPECT_TRUE(
      std::regex_match(shown, std::regex("Task 2 of 2 \u2013 0:00:\\d\\d elapsed \u2013 about 0:00:\\d\\d left")))
      << shown;
  EXPECT_EQ(StatusBarText(app, 0), "Conversion finished...");
}

// Tells its progress halfway, waits for the test, then writes its output
// from its input's name; "bad" inputs fail instead.
const std::string kHalfwayEncoder = R"(for out; do :; done
echo $$ >> "${0%/Core/ffmpeg}/pids"
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
printf 'frame=   10 fps=  0 q=3.0 size=       4kB time=5.00 bitrate=   6.5kbits/s\n' >&2
)" + kWaitForGo + R"(case "$2" in *bad*) printf 'Conversion failed!' >&2; exit 1;; esac
printf '%s' "$2" > "$out"
printf 'frame=   20 fps=  0 q=3.0 size=       8kB time=10.00 bitrate=   6.5kbits/s\n' >&2
)";

// Two at a time: both rows move at once, yet rows, outputs and log come out
// as those of the same batch run one task after another.
TEST_F(BatchWindow, TwoAtATimeEndAsOneAtATimeWould) {
  Encoder(kHalfwayEncoder);
  const std::vector<std::string> names = {"a", "bad", "c"};
  for (const std::string& name : names) AddTask("/v/" + name + ".avi", program.Path(name + ".amv"));
  struct Result {
    Lines rows, log, outputs, boxes;
  };
  const auto result = [&] {
    Result r{{}, LogLines(app), {}, boxes};
    for (int row = 0; row < 3; ++row) r.rows.push_back(RowStatus(app, row));
    for (const char* name : {"a.amv", "c.amv"}) r.outputs.push_back(program.Read(name));
    return r;
  };
  Go();
  PressStart();
  const Result oneAtATime = result();

  for (const char* file : {"a.amv", "c.amv", "go", "pids"}) std::filesystem::remove(program.Path(file));
  ClearLog(app);
  boxes.clear();
  app.conversionsAtOnce = 2;
  std::string status;
  QString title;
  std::size_t children = 0;
  When([this] { return RowStatus(app, 0) == "50.0% ready" && RowStatus(app, 1) == "50.0% ready"; },
       [&] {
         status = StatusBarText(app, 0);
         title = MainWindow(app)->windowTitle();
         children = OwnChildren().size();
         Go();
       });
  PressStart();
  EXPECT_EQ(children, 2u);
  EXPECT_TRUE(status.starts_with("2 running, 0 of 3 done \u2013 ")) << status;
  EXPECT_TRUE(title.startsWith(QString::fromUtf8("1 of 3 \u2013 50% \u2013 "))) << title.toStdString();
  const Result twoAtATime = result();
  EXPECT_EQ(twoAtATime.rows, (Lines{"Converted!", "FFmpeg error. Code 1", "Converted!"}));
  EXPECT_EQ(twoAtATime.rows, oneAtATime.rows);
  EXPECT_EQ(twoAtATime.outputs, (Lines{"/v/a.avi", "/v/c.avi"}));
  EXPECT_EQ(twoAtATime.outputs, oneAtATime.outputs);
  EXPECT_EQ(twoAtATime.log, oneAtATime.log) << "each task's lines together, in task order";
  EXPECT_EQ(twoAtATime.boxes, oneAtATime.boxes);
  EXPECT_EQ(StatusBarText(app, 0), "Conversion finished...");
}

// Stop asks once and ends both encoders; each removal is logged with its task.
TEST_F(BatchWindow, StopAsksOnceAndEndsEveryEncoder) {
  Encoder(R"(for out; do :; done
printf 'partial' > "$out"
echo $$ >> "${0%/Core/ffmpeg}/pids"
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
exec sleep 30
)");
  const Task a = AddTask("/v/a.avi", program.Path("a.amv"));
  const Task b = AddTask("/v/b.avi", program.Path("b.amv"));
  AddTask("/v/c.avi", program.Path("c.amv"));
  app.conversionsAtOnce = 2;
  answer = MessageAnswer::Yes;
  When([this] { return RowStatus(app, 0) == "0.0% ready" && RowStatus(app, 1) == "0.0% ready"; },
       [this] { ToolbarButton(app, 59)->trigger(); });
  PressStart();
  EXPECT_EQ(boxes, Lines{"Please confirm | Are you sure you want to cancel the current operation?"});
  EXPECT_EQ((Lines{RowStatus(app, 0), RowStatus(app, 1), RowStatus(app, 2)}), (Lines{"Waiting", "Waiting", "Waiting"}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.Dir()), {}), 2) << "Core and pids only";
  std::istringstream pids(program.Read("pids"));
  int started = 0;
  for (pid_t pid; pids >> pid; ++started) EXPECT_NE(kill(pid, 0), 0) << "encoder " << pid << " still there";
  EXPECT_EQ(started, 2);
  EXPECT_EQ(OwnChildren(), std::vector<pid_t>{});
  const std::string duration = "FFMpeg -> Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s";
  EXPECT_EQ(LogLines(app), (Lines{"Conversion in progress...", "FFMpeg -> " + BuildEncoderArguments(a), "* FFMpeg(R) *",
                                  duration, "Incomplete output removed: " + a.OutputFile,
                                  "FFMpeg -> " + BuildEncoderArguments(b), "* FFMpeg(R) *", duration,
                                  "Incomplete output removed: " + b.OutputFile, "Conversion stopped by user..."}));
  EXPECT_FALSE(app.ConversionRunning);
}

// A task that reads another's output, or writes the same file, waits for it
// even when a place is free.
TEST_F(BatchWindow, TwoAtATimeATaskWaitsForTheOutputItReadsOrWrites) {
  Encoder(R"(for out; do :; done
case "$2" in *source.avi) sleep 0.5;; esac
[ ! -e "$out" ] && cat "$2" > "$out"
)");
  const std::string source = program.Write("source.avi", "picture");
  AddTask(source, program.Path("first.amv"));
  AddTask(program.Path("first.amv"), program.Path("second.amv"));
  AddTask(source, program.Path("second.amv"));
  app.conversionsAtOnce = 2;
  PressStart();
  EXPECT_EQ((Lines{RowStatus(app, 0), RowStatus(app, 1), RowStatus(app, 2)}),
            (Lines{"Converted!", "Converted!", "FFmpeg error. Code 1"}));
  EXPECT_EQ(program.Read("second.amv"), "picture");
}

}  // namespace
