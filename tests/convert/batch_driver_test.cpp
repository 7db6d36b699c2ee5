#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "Inc/AppState.h"
#include "Inc/ErrorHandler.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "convert/batch_driver.h"
#include "convert/encoder_arguments.h"
#include "stand_in_encoder.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// The batch over a task list, a log and a window that are plain records, with
// a stand-in encoder script in a scratch program directory.
class BatchDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, program.Dir());
    app.ConversionRunning = false;
    app.conversionsAtOnce = 1;
    UiHooks hooks;
    hooks.showMessage = [this](const MessageRequest& request) {
      boxes.push_back(request.title + " | " + request.text);
      if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
      return stopAnswer;
    };
    hooks.setStatusText = [this](int field, const std::string& text) {
      if (field == 0) statusField0.push_back(text);
    };
    InstallUiHooks(hooks);

    seams.taskCount = [this] { return static_cast<int>(tasks.size()); };
    seams.taskAt = [this](int position) { return tasks.at(position); };
    seams.setTaskStatus = [this](int row, const std::string& text) { statuses.at(row).push_back(text); };
    seams.showTaskCount = [this] { ++taskCountShown; };
    seams.addLogLine = [this](const std::string& line) { log.push_back(line); };
    seams.setToolbarEnabled = [this](bool enabled) { toolbar.push_back(enabled); };
    seams.waitForCommand = [this](int timeoutMs, int) {
      EXPECT_EQ(timeoutMs, 50);
      std::this_thread::sleep_for(2ms);
      const int command = cycle < commands.size() ? commands[cycle] : -1;
      ++cycle;
      if (duringBatch) duringBatch();
      return command;
    };
  }
  void TearDown() override { InstallUiHooks({}); }

  void Encoder(const std::string& body) { WriteStandInEncoder(program, body); }

  void AddTask(const std::string& input, const std::string& output) {
    tasks.push_back(TaskFor(input, output));
    statuses.emplace_back();
  }

  std::string LastStatus(int row) const { return statuses.at(row).empty() ? "" : statuses.at(row).back(); }

  AppState app;
  ScratchDir program;
  BatchSeams seams;
  std::vector<Task> tasks;
  std::vector<Lines> statuses;
  Lines log, boxes, statusField0;
  std::vector<bool> toolbar;
  int taskCountShown = 0;
  std::vector<int> commands;  // the command each pump cycle returns
  std::size_t cycle = 0;
  std::function<void()> duringBatch;
  MessageAnswer stopAnswer = MessageAnswer::No;
};

std::size_t OpenDescriptors() {
  const std::filesystem::directory_iterator entries("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

const char* kGoodEncoder = R"(in="$2"
printf "Input #0, avi, from '%s':\n" "$in" >&2
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s  \n' >&2
printf 'frame=   10 fps=  0 q=3.0 size=       4kB time=5.00 bitrate=   6.5kbits/s\r' >&2
printf 'frame=   20 fps=  0 q=3.0 size=       8kB time=10.00 bitrate=   6.5kbits/s\n' >&2
printf 'video:8kB audio:2kB' >&2
)";

TEST_F(BatchDriver, EmptyListOnlySaysSorry) {
  StartConversion(app, seams);
  EXPECT_EQ(boxes, Lines{"Sorry | " + UiText("s107")});
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(toolbar.empty());
  EXPECT_TRUE(statusField0.empty());
}

TEST_F(BatchDriver, SuccessfulBatchLogsEveryLineInOrder) {
  Encoder(kGoodEncoder);
  AddTask("/v/a b.avi", "/v/a b.amv");
  AddTask("/v/c.avi", "/v/c.amv");
  duringBatch = [this] {
    EXPECT_TRUE(app.ConversionRunning);
    EXPECT_EQ(toolbar, std::vector<bool>{false});
  };
  StartConversion(app, seams);

  Lines expected = {"Conversion in progress..."};
  for (const Task& task : tasks) {
    expected.insert(expected.end(),
                    {"FFMpeg -> " + BuildEncoderArguments(task), "* FFMpeg(R) *",
                     "FFMpeg -> Input #0, avi, from '" + task.InputFile + "':",
                     "FFMpeg -> Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s",
                     "FFMpeg -> frame=   10 fps=  0 q=3.0 size=       4kB time=5.00 bitrate=   6.5kbits/s",
                     "FFMpeg -> frame=   20 fps=  0 q=3.0 size=       8kB time=10.00 bitrate=   6.5kbits/s",
                     "FFMpeg -> video:8kB audio:2kB"});
  }
  expected.push_back("Conversion finished...");
  EXPECT_EQ(log, expected);
  for (int row = 0; row < 2; ++row)
    EXPECT_EQ(statuses[row], (Lines{"0.0% ready", "50.0% ready", "100.0% ready", "100.0% ready", "Converted!"}));
  EXPECT_EQ(boxes, Lines{"Success | Conversion finished successfully."});
  ASSERT_GE(statusField0.size(), 4u);
  EXPECT_EQ(statusField0.front(), "Conversion in progress...");
  EXPECT_EQ(statusField0[1], "Task 1 of 2 \u2013 0:00:00 elapsed") << "the times are told on the way";
  EXPECT_NE(std::find_if(statusField0.begin(), statusField0.end(),
                         [](const std::string& text) { return text.starts_with("Task 2 of 2 \u2013 0:00:00"); }),
            statusField0.end());
  EXPECT_EQ(statusField0.back(), "Conversion finished...");
  EXPECT_EQ(toolbar, (std::vector<bool>{false, true}));
  EXPECT_FALSE(app.ConversionRunning);
}

TEST_F(BatchDriver, FailuresShowTheCodeAndTheEncodersLastWordsReachTheLog) {
  Encoder(R"(case "$2" in
  *bad*) printf "%s: Invalid data found when processing input" "$2" >&2; exit 1;;
  *killed*) kill -9 $$;;
  *) exit 0;;
esac
)");
  AddTask("/v/bad.avi", "/v/bad.amv");
  AddTask("/v/good.avi", "/v/good.amv");
  AddTask("/v/killed.avi", "/v/killed.amv");
  StartConversion(app, seams);
  EXPECT_EQ(LastStatus(0), "FFmpeg error. Code 1");
  EXPECT_EQ(LastStatus(1), "Converted!");
  EXPECT_EQ(LastStatus(2), "FFmpeg error. Code -1");
  EXPECT_NE(std::find(log.begin(), log.end(), "FFMpeg -> /v/bad.avi: Invalid data found when processing input"),
            log.end());
  EXPECT_EQ(boxes, Lines{"Error | Conversion finished with errors. Please check the log for details."});
  EXPECT_EQ(log.back(), "Conversion finished...");
}

TEST_F(BatchDriver, APartlyConvertedVideoKeepsItsOutputAndTheBatchDoesNotClaimFullSuccess) {
  // The stand-in writes its output, then ends with the code the input's name gives.
  Encoder(R"sh(: > "$(eval echo \${$#})"; case "$2" in *cut*) exit 2;; *bad*) exit 1;; esac)sh");
  struct Case {
    Lines inputs;
    Lines lastStatuses;
    std::string box;
  };
  const std::string partly = UiText("s140");
  const Case cases[] = {
      {{"cut", "good"}, {partly, "Converted!"}, "Partly converted | " + UiText("s141")},
      {{"cut", "bad"}, {partly, "FFmpeg error. Code 1"}, "Error | " + UiText("s63")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.inputs[1]);
    tasks.clear();
    statuses.clear();
    boxes.clear();
    for (const std::string& input : c.inputs) AddTask(program.Path(input + ".avi"), program.Path(input + ".amv"));
    StartConversion(app, seams);
    EXPECT_EQ((Lines{LastStatus(0), LastStatus(1)}), c.lastStatuses);
    EXPECT_EQ(boxes, Lines{c.box});
    EXPECT_TRUE(std::filesystem::exists(program.Path("cut.amv")));
    std::filesystem::remove(program.Path("cut.amv"));
  }
}

TEST_F(BatchDriver, ABatchLeavesNoDescriptorOpen) {
  Encoder(kGoodEncoder);
  AddTask("/v/a.avi", "/v/a.amv");
  StartConversion(app, seams);
  const std::size_t before = OpenDescriptors();
  for (int i = 0; i < 3; ++i) AddTask("/v/b.avi", "/v/b.amv");
  StartConversion(app, seams);
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(BatchDriver, BurstsAreLoggedWholeEvenWhenTheEncoderEndsAtOnce) {
  Encoder(R"(i=1; while [ $i -le 400 ]; do printf 'line %d\n' $i >&2; i=$((i+1)); done)");
  AddTask("/v/a.avi", "/v/a.amv");
  StartConversion(app, seams);
  ASSERT_EQ(log.size(), 1u + 2u + 400u + 1u);
  EXPECT_EQ(log[3], "FFMpeg -> line 1");
  EXPECT_EQ(log[402], "FFMpeg -> line 400");
  EXPECT_LT(cycle, 200u) << "every waiting line is read in the same cycle, not one per cycle";
}

// The encoder always ends while the driver waits, and logging each line takes
// longer than a cycle, so its lines can only all arrive if the driver goes on
// reading after the end.
TEST_F(BatchDriver, ThePipeIsDrainedAfterTheEncoderHasEnded) {
  Encoder(R"(printf 'one\ntwo\nthree' >&2)");
  AddTask("/v/a.avi", "/v/a.amv");
  seams.waitForCommand = [this](int, int wakeDescriptor) {
    pollfd end{wakeDescriptor, POLLIN, 0};
    EXPECT_EQ(poll(&end, 1, 10000), 1) << "the encoder has ended";
    ++cycle;
    return -1;
  };
  seams.addLogLine = [this](const std::string& line) {
    log.push_back(line);
    std::this_thread::sleep_for(60ms);
  };
  StartConversion(app, seams);
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ((Lines{log[3], log[4], log[5]}), (Lines{"FFMpeg -> one", "FFMpeg -> two", "FFMpeg -> three"}));
  EXPECT_EQ(statuses[0], Lines{"Converted!"});
}

TEST_F(BatchDriver, StopAnsweredYesKillsTheEncoderAndEndsTheBatch) {
  Encoder(R"(printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
exec sleep 30
)");
  AddTask("/v/a.avi", "/v/a.amv");
  AddTask("/v/b.avi", "/v/b.amv");
  statuses[1].push_back("Converted!");
  commands = {-1, -1, 59};
  stopAnswer = MessageAnswer::Yes;
  const auto started = std::chrono::steady_clock::now();
  StartConversion(app, seams);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_EQ(boxes, Lines{"Please confirm | Are you sure you want to cancel the current operation?"});
  EXPECT_EQ(LastStatus(0), "Waiting");
  EXPECT_EQ(statuses[1], Lines{"Converted!"}) << "the tasks after the stopped one keep their rows";
  EXPECT_EQ(taskCountShown, 1);
  EXPECT_EQ(statusField0.back(), "Conversion stopped by user...");
  EXPECT_EQ(log.back(), "Conversion stopped by user...");
  EXPECT_EQ(std::count(log.begin(), log.end(), "* FFMpeg(R) *"), 1) << "no task starts after a stop";
  EXPECT_EQ(toolbar, (std::vector<bool>{false, true}));
  EXPECT_FALSE(app.ConversionRunning);
}

// A logout, a closed terminal or Ctrl+C during a batch ends the program as a
// confirmed Stop would: the encoder ends and the output it began is removed.
TEST_F(BatchDriver, ATerminationSignalEndsTheEncoderAndRemovesItsOutput) {
  Encoder(R"(for a; do out="$a"; done
echo half > "$out"; echo $$ > "$out.pid.new"; mv "$out.pid.new" "$out.pid"
exec sleep 30
)");
  const std::string output = program.Path("a.amv");
  AddTask("/v/a.avi", output);
  const pid_t batch = fork();
  if (batch == 0) {
    InstallTerminationHandler();
    StartConversion(app, seams);
    _exit(0);
  }
  for (int i = 0; i < 1000 && !std::filesystem::exists(output + ".pid"); ++i) std::this_thread::sleep_for(10ms);
  kill(batch, SIGTERM);
  int status = 0;
  waitpid(batch, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_FALSE(std::filesystem::exists(output));
  const pid_t encoder = std::stoi(program.Read("a.amv.pid"));
  EXPECT_NE(kill(encoder, 0), 0) << "the encoder still runs, or was not reaped";
}

// With two at once, the signal ends both encoders and removes both outputs.
TEST_F(BatchDriver, ATerminationSignalEndsEveryEncoderAndRemovesEachOutput) {
  Encoder(R"(for a; do out="$a"; done
echo half > "$out"; echo $$ > "$out.pid.new"; mv "$out.pid.new" "$out.pid"
exec sleep 30
)");
  const std::vector<std::string> outputs = {program.Path("a.amv"), program.Path("b.amv")};
  for (const std::string& output : outputs) AddTask("/v/x.avi", output);
  app.conversionsAtOnce = 2;
  const pid_t batch = fork();
  if (batch == 0) {
    InstallTerminationHandler();
    StartConversion(app, seams);
    _exit(0);
  }
  const auto started = [&] {
    return std::all_of(outputs.begin(), outputs.end(),
                       [](const std::string& output) { return std::filesystem::exists(output + ".pid"); });
  };
  for (int i = 0; i < 1000 && !started(); ++i) std::this_thread::sleep_for(10ms);
  kill(batch, SIGTERM);
  int status = 0;
  waitpid(batch, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  for (const std::string& output : outputs) {
    EXPECT_FALSE(std::filesystem::exists(output));
    const pid_t encoder = std::stoi(ReadWholeFile(output + ".pid"));
    EXPECT_NE(kill(encoder, 0), 0) << "the encoder still runs, or was not reaped";
  }
}

TEST_F(BatchDriver, StopAnsweredNoAndOtherCommandsChangeNothing) {
  // The encoder runs until every command has been handed over, however slow the machine.
  Encoder(R"(i=0; while [ ! -e "${0%/Core/ffmpeg}/go" ] && [ $i -lt 1000 ]; do sleep 0.01; i=$((i+1)); done
printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
)");
  AddTask("/v/a.avi", "/v/a.amv");
  commands = {0, 50, 58, 59, 11, 54};
  stopAnswer = MessageAnswer::No;
  int nestedStarts = 0;
  duringBatch = [&] {
    if (nestedStarts++ == 0) StartConversion(app, seams);  // a Start that slipped through
    if (cycle == commands.size()) program.Write("go", "");
  };
  StartConversion(app, seams);
  EXPECT_EQ(boxes, (Lines{"Please confirm | Are you sure you want to cancel the current operation?",
                          "Success | Conversion finished successfully."}));
  EXPECT_EQ(statuses[0], (Lines{"0.0% ready", "Converted!"}));
  EXPECT_EQ(std::count(log.begin(), log.end(), "Conversion in progress..."), 1);
  EXPECT_EQ(log.back(), "Conversion finished...");
}

TEST_F(BatchDriver, IdenticalTasksEachGetTheirOwnRow) {
  Encoder(R"(if [ -e "$0.ran" ]; then exit 0; fi
: > "$0.ran"; exit 1
)");
  AddTask("/v/same.avi", "/v/same.amv");
  AddTask("/v/same.avi", "/v/same.amv");
  StartConversion(app, seams);
  EXPECT_EQ(statuses[0], Lines{"FFmpeg error. Code 1"});
  EXPECT_EQ(statuses[1], Lines{"Converted!"});
}

TEST_F(BatchDriver, EachTaskStartsWithoutThePreviousTasksNumbers) {
  Encoder(R"(case "$2" in
  *first*) printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 1 kb/s\nframe=1 fps=1 q=1 size=1kB time=10.00 bitrate=1kbits/s\n' >&2;;
  *) printf 'frame=1 fps=1 q=1 size=1kB time=2.00 bitrate=1kbits/s\n  Duration: 00:00:40.00, start: 0.000000, bitrate: 1 kb/s\n' >&2;;
esac
)");
  AddTask("/v/first.avi", "/v/first.amv");
  AddTask("/v/second.avi", "/v/second.amv");
  StartConversion(app, seams);
  EXPECT_EQ(statuses[1], (Lines{"5.0% ready", "Converted!"}));
}

TEST_F(BatchDriver, EncoderThatCannotStartEndsTheBatchAndKeepsTheList) {
  AddTask("/v/a.avi", "/v/a.amv");
  AddTask("/v/b.avi", "/v/b.amv");
  for (const bool present : {false, true}) {
    if (present) program.Write("Core/ffmpeg", "#!/bin/sh\nexit 0\n");  // present but not executable
    boxes.clear();
    log.clear();
    StartConversion(app, seams);
    EXPECT_EQ(boxes, Lines{"Error | " + UiText("s56")});
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(log.back(), UiText("s56"));
    EXPECT_EQ(statusField0.back(), UiText("s56"));
    EXPECT_EQ(tasks.size(), 2u);
    EXPECT_TRUE(statuses[0].empty());
    EXPECT_FALSE(app.ConversionRunning);
    EXPECT_TRUE(toolbar.back());
  }
}

TEST_F(BatchDriver, HostileInputPathReachesTheEncoderWhole) {
  Encoder(R"(printf '%s|%s|%s\n' "$1" "$2" "$3" >&2)");
  AddTask(R"(/v/x" -f "mp4  y.avi)", "/v/out.amv");
  StartConversion(app, seams);
  EXPECT_EQ(log[3], R"(FFMpeg -> -i|/v/x" -f "mp4  y.avi|-vol)");
  EXPECT_EQ(log[1], R"(FFMpeg -> -i "/v/x" -f "mp4  y.avi" -vol 256 -croptop 0 -cropbottom 0 -cropleft 0 )"
                    R"(-cropright 0  -padtop 0 -padbottom 0 -padleft 0 -padright 0 -f amv -s 96x64 -r 10 )"
                    R"(-ac 1 -ar 22050 -qmin 3 -qmax 4 "/v/out.amv")");
}

}  // namespace
