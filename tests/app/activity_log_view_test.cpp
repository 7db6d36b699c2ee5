#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QListWidget>
#include <string>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/UiSeam.h"
#include "app/activity_log_view.h"
#include "app/main_window.h"
#include "scratch_dir.h"

namespace {

class MainWindowLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BuildMainWindow());
    AttachMainWindowLog();
    App().LogActions = 1;
  }
  void TearDown() override {
    AttachLogView(nullptr);
    InstallUiHooks({});
    DestroyMainWindow();
  }
};

TEST_F(MainWindowLogTest, NewLineIsSelectedAndSavedWithItsOwnBytes) {
  AddLogLine("Conversion in progress...");
  AddLogLine("Input #0, avi, from 'caf\xe9.avi':");
  QCoreApplication::processEvents();  // the window selects once per pass of its event loop
  QListWidget* list = LogListWidget();
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_EQ(list->item(0)->text(), "Conversion in progress...");

  ScratchDir dir;
  UiHooks hooks;
  hooks.askFileName = [&](const FileDialogRequest&) { return dir.Path("log"); };
  InstallUiHooks(hooks);
  SaveLog();
  EXPECT_EQ(dir.Read("log.txt"), "Conversion in progress...\r\nInput #0, avi, from 'caf\xe9.avi':\r\n");
}

TEST_F(MainWindowLogTest, ClearEmptiesTheListAndTheNextLineStandsAlone) {
  AddLogLine("one");
  AddLogLine("two");
  ClearLog();
  EXPECT_EQ(LogListWidget()->count(), 0);
  AddLogLine("three");
  QCoreApplication::processEvents();
  ASSERT_EQ(LogListWidget()->count(), 1);
  EXPECT_EQ(LogListWidget()->currentRow(), 0);
  EXPECT_EQ(LogListWidget()->item(0)->text(), "three");
}

TEST_F(MainWindowLogTest, FollowsTheMainWindowWhenItIsBuiltAgain) {
  AddLogLine("before");
  ASSERT_TRUE(BuildMainWindow());
  AddLogLine("after");
  ASSERT_EQ(LogListWidget()->count(), 1);
  EXPECT_EQ(LogListWidget()->item(0)->text(), "after");
}

}  // namespace
