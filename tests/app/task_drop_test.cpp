#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "app/main_window.h"
#include "queue_test_support.h"
#include "scratch_dir.h"
#include "tasks/task_editor_dialog.h"
#include "tasks/task_list.h"
#include "tasks/ui_recorder.h"

namespace {

class TaskDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, dir.Dir());
    app.ConversionRunning = false;
    ASSERT_TRUE(BuildMainWindow(app));
    AttachTaskListWidget(app);
  }
  void TearDown() override {
    app.ConversionRunning = false;
    DestroyMainWindow(app);
  }

  // Drops paths and, when the editor opens, notes its input field and
  // presses Accept. False when no editor opened.
  bool DropAndAccept(const std::vector<std::string>& paths) {
    shown.clear();
    bool opened = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      auto* editor = qobject_cast<TaskEditorDialog*>(QApplication::activeModalWidget());
      if (!editor || opened) return;
      opened = true;
      shown = editor->Widgets().input->text().toStdString();
      editor->Widgets().accept->click();
      if (editor->isVisible()) editor->close();
    });
    watch.start(5);
    outcome = DropOnTaskList(app, paths);
    // Long enough for a deferred editor to have opened, were it coming.
    QElapsedTimer clock;
    clock.start();
    WaitUntil([&] { return (opened || clock.elapsed() > 300) && !QApplication::activeModalWidget(); });
    return opened;
  }

  AppState app;
  ScratchDir dir;
  UiRecorder ui;
  DropOutcome outcome;
  std::string shown;
};

TEST_F(TaskDropTest, DroppedFilesOpenTheEditorWithThemChosen) {
  const std::string a = dir.Write("a.mp4", "video");
  const std::string b = dir.Write("b.txt", "not a video, but dropped on purpose");
  ASSERT_TRUE(DropAndAccept({a, b}));
  EXPECT_TRUE(outcome.enterAccepted);
  EXPECT_TRUE(outcome.dropAccepted);
  EXPECT_EQ(shown, a + " (+1 more)");
  ASSERT_EQ(ProgramTasks(app).Count(), 2);
  EXPECT_EQ(ProgramTasks(app).At(0).InputFile, a);
  EXPECT_EQ(ProgramTasks(app).At(1).OutputFile, dir.Path("b.amv"));
}

TEST_F(TaskDropTest, ADroppedFolderAddsTheVideosInsideIt) {
  dir.Write("show/2.MKV", "video");
  dir.Write("show/1.mp4", "video");
  dir.Write("show/cover.jpg", "picture");
  dir.Write("show/.cache/3.mp4", "video");
  ASSERT_TRUE(DropAndAccept({dir.Path("show")}));
  ASSERT_EQ(ProgramTasks(app).Count(), 2);
  EXPECT_EQ(ProgramTasks(app).At(0).InputFile, dir.Path("show/1.mp4"));
  EXPECT_EQ(ProgramTasks(app).At(1).InputFile, dir.Path("show/2.MKV"));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TaskDropTest, DropsAreRefusedWhileABatchRunsAndWithoutFiles) {
  const std::string a = dir.Write("a.mp4", "video");
  app.ConversionRunning = true;
  EXPECT_FALSE(DropAndAccept({a}));
  EXPECT_FALSE(outcome.enterAccepted);
  EXPECT_FALSE(outcome.dropAccepted);
  app.ConversionRunning = false;
  EXPECT_FALSE(DropAndAccept({}));
  EXPECT_FALSE(outcome.enterAccepted);
  dir.Write("no videos/.keep", "");
  dir.Write("no videos/notes.txt", "text");
  EXPECT_FALSE(DropAndAccept({dir.Path("no videos")})) << "a folder without videos opens nothing";
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
}

}  // namespace
