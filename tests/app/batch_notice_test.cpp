#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "app/batch_notice.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "convert/stand_in_encoder.h"
#include "queue_test_support.h"
#include "task_row_status.h"
#include "tasks/task_list.h"

namespace {

// Prints half of the progress, then waits (up to ten seconds) for the test's "go".
const std::string kHalfThenWait =
    R"(printf '  Duration: 00:00:10.00, start: 0.000000, bitrate: 100 kb/s\n' >&2
printf 'frame=   10 fps=  0 q=3.0 size=       4kB time=5.00 bitrate=   6.5kbits/s\n' >&2
i=0; while [ ! -e "${0%/Core/ffmpeg}/go" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done
case "$2" in *bad*) exit 1;; esac
)";

const std::string kTitle = "Marrowind Flickpress 0.8";

// A batch in the real main window with a stand-in encoder; the summary box
// is answered here, and desktop notifications are recorded.
class BatchNoticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, program.Dir());
    app.quit = false;
    ASSERT_TRUE(BuildMainWindow(app));
    AttachTaskListWidget(app);
    UiHooks hooks;
    hooks.showMessage = [this](const MessageRequest& request) {
      boxes.push_back(request.title + " | " + request.text);
      return MessageAnswer::Ok;
    };
    hooks.batchFinished = [this](const std::string& title, const std::string& text) {
      NoticeBatchEnd(MainWindow(app), title, text,
                     [this](const std::string& noticeTitle, const std::string& noticeText) {
                       notices.push_back(noticeTitle + " | " + noticeText);
                     });
    };
    InstallUiHooks(hooks);
    WriteStandInEncoder(program, kHalfThenWait);
  }
  void TearDown() override {
    InstallUiHooks({});
    DestroyMainWindow(app);
  }

  void AddTask(const std::string& name) {
    ProgramTasks(app).Append(TaskFor("/v/" + name + ".avi", "/v/" + name + ".amv"));
  }

  // Presses Start; once the first task has shown its progress, runs during()
  // and lets the encoders go on.
  void RunBatch(std::function<void()> during) {
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (RowStatus(app, 0) != "50.0% ready") return;
      watch.stop();
      if (during) during();
      program.Write("go", "");
    });
    watch.start(5);
    DispatchCommand(app, 58);
  }

  AppState app;
  ScratchDir program;
  std::vector<std::string> boxes;
  std::vector<std::string> notices;
};

TEST_F(BatchNoticeTest, TheTitleFollowsTheBatchAndComesBackAfterIt) {
  AddTask("a");
  AddTask("b");
  std::string during;
  RunBatch([&] { during = MainWindow(app)->windowTitle().toStdString(); });
  EXPECT_EQ(during, "1 of 2 \u2013 50% \u2013 " + kTitle);
  EXPECT_EQ(MainWindow(app)->windowTitle().toStdString(), kTitle);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Success | Conversion finished successfully."}));
}

TEST_F(BatchNoticeTest, AStartWithoutTasksLeavesTheTitleAlone) {
  DispatchCommand(app, 58);
  EXPECT_EQ(MainWindow(app)->windowTitle().toStdString(), kTitle);
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(BatchNoticeTest, AnInactiveOrMinimisedWindowIsToldOnceAndAnActiveOneNot) {
  AddTask("bad");
  RunBatch({});
  EXPECT_EQ(notices, (std::vector<std::string>{
                         "Error | Conversion finished with errors. Please check the log for details."}))
      << "hidden, so not active";

  notices.clear();
  std::filesystem::remove(program.Path("go"));
  MainWindow(app)->showMinimized();
  RunBatch({});
  EXPECT_EQ(notices.size(), 1u) << "minimised";

  notices.clear();
  std::filesystem::remove(program.Path("go"));
  MainWindow(app)->showNormal();
  MainWindow(app)->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(MainWindow(app)));
  RunBatch({});
  EXPECT_TRUE(notices.empty()) << "the user sees the box anyway";
  EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(BatchNoticeTest, DropsAreRefusedWhileTheBatchRuns) {
  AddTask("a");
  const std::string video = program.Write("drop.mp4", "video");
  DropOutcome outcome{true, true};
  RunBatch([&] { outcome = DropOnTaskList(app, {video}); });
  EXPECT_FALSE(outcome.enterAccepted);
  EXPECT_FALSE(outcome.dropAccepted);
  QTest::qWait(50);
  EXPECT_EQ(ProgramTasks(app).Count(), 1);
}

}  // namespace
