#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QMainWindow>
#include <QScrollBar>
#include <string>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/UiSeam.h"
#include "app/activity_log_view.h"
#include "app/log_list.h"
#include "app/main_window.h"
#include "scratch_dir.h"

namespace {

class MainWindowLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BuildMainWindow(app));
    AttachMainWindowLog(app);
    app.LogActions = 1;
  }
  void TearDown() override {
    AttachLogView(app, nullptr);
    InstallUiHooks({});
    DestroyMainWindow(app);
  }
  std::string Saved() {
    UiHooks hooks;
    hooks.askFileName = [&](const FileDialogRequest&) { return dir_.Path("log"); };
    InstallUiHooks(hooks);
    SaveLog(app);
    return dir_.Read("log.txt");
  }

  AppState app;
  ScratchDir dir_;
};

TEST_F(MainWindowLogTest, NewLineIsSelectedAndSavedWithItsOwnBytes) {
  AddLogLine(app, "Conversion in progress...");
  AddLogLine(app, "Input #0, avi, from 'caf\xe9.avi':");
  QCoreApplication::processEvents();  // the window selects once per pass of its event loop
  LogList* list = LogListWidget(app);
  ASSERT_EQ(list->LineCount(), 2);
  EXPECT_EQ(list->currentIndex().row(), 1);
  EXPECT_EQ(list->model()->index(0, 0).data().toString(), "Conversion in progress...");
  EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(Saved(), "Conversion in progress...\r\nInput #0, avi, from 'caf\xe9.avi':\r\n");
}

TEST_F(MainWindowLogTest, ClearEmptiesTheListAndTheNextLineStandsAlone) {
  AddLogLine(app, "one");
  AddLogLine(app, "two");
  ClearLog(app);
  EXPECT_EQ(LogListWidget(app)->LineCount(), 0);
  AddLogLine(app, "three");
  QCoreApplication::processEvents();
  ASSERT_EQ(LogListWidget(app)->LineCount(), 1);
  EXPECT_EQ(LogListWidget(app)->currentIndex().row(), 0);
  EXPECT_EQ(LogListWidget(app)->model()->index(0, 0).data().toString(), "three");
}

TEST_F(MainWindowLogTest, FollowsTheMainWindowWhenItIsBuiltAgain) {
  AddLogLine(app, "before");
  ASSERT_TRUE(BuildMainWindow(app));
  AddLogLine(app, "after");
  ASSERT_EQ(LogListWidget(app)->LineCount(), 1);
  EXPECT_EQ(LogListWidget(app)->model()->index(0, 0).data().toString(), "after");
}

// Lines added over many passes of the event loop: every one is kept and
// saved, the newest is the selected one and in sight, and a long line can be
// scrolled to instead of being cut.
TEST_F(MainWindowLogTest, ManyLinesAreAllSavedAndTheNewestIsSelectedInSight) {
  MainWindow(app)->show();
  LogList* list = LogListWidget(app);
  const std::string wide = "ffmpeg -i " + std::string(400, 'x') + ".mp4";
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string line = i == 1500 ? wide : "frame=" + std::to_string(i);
    AddLogLine(app, line);
    expected += line + "\r\n";
    if (i % 7 == 0) QCoreApplication::processEvents();
  }
  QCoreApplication::processEvents();
  ASSERT_EQ(list->LineCount(), 3000);
  EXPECT_EQ(list->currentIndex().row(), 2999);
  const QRect newest = list->visualRect(list->currentIndex());
  EXPECT_TRUE(newest.top() >= 0 && newest.bottom() < list->viewport()->height()) << newest.top();
  EXPECT_GE(list->columnWidth(0), list->fontMetrics().horizontalAdvance(QString::fromStdString(wide)));
  EXPECT_GT(list->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(Saved(), expected);
}

}  // namespace
