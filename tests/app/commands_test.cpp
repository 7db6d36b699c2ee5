#include "app/commands.h"

#include <QApplication>
#include <QTest>
#include <QTreeWidget>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Inc/ActivityLog.h"
#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/ProjectLinks.h"
#include "app/activity_log_view.h"
#include "app/log_list.h"
#include "app/main_window.h"
#include "scratch_dir.h"
#include "shell_test_support.h"
#include "tasks/task_list.h"

namespace {

// Works in `directory` while it lives, then returns to where the test was.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& directory) {
    if (getcwd(previous_, sizeof previous_) == nullptr) previous_[0] = '\0';
    EXPECT_EQ(chdir(directory.c_str()), 0);
  }
  ~WorkingDirectory() { EXPECT_EQ(chdir(previous_), 0); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  char previous_[4096];
};

// What one command made visible: messages, modal windows, dialogs, opened targets.
std::vector<std::string> Effects(const UiAnswers& ui, const std::vector<std::string>& modals) {
  std::vector<std::string> effects;
  for (const MessageRequest& m : ui.messages) effects.push_back("message " + m.title + " | " + m.text);
  for (const std::string& title : modals) effects.push_back("window " + title);
  for (const FileDialogRequest& d : ui.dialogs)
    effects.push_back(std::string(d.kind == FileDialogKind::Save ? "save " : "open ") + d.title);
  for (const std::string& target : ui.opened) effects.push_back("open " + target);
  return effects;
}

class CommandTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadStringTable("");
    SetProgramDirectory(app, scratch_.Dir());
    ASSERT_TRUE(BuildMainWindow(app));
    AttachMainWindowLog(app);
    AttachTaskListWidget(app);  // and with it an empty task list
  }
  void TearDown() override {
    SetCommandInterceptor(app, {});
    DestroyMainWindow(app);
  }

  // Dispatches `id` and closes every modal window it opens, noting its title.
  std::vector<std::string> Run(int id) {
    ui_.Forget();
    std::vector<std::string> modals;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&modals] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        modals.push_back(modal->windowTitle().toStdString());
        modal->close();
      }
    });
    closer.start(10);
    DispatchCommand(app, id);
    return Effects(ui_, modals);
  }

  static std::string Message(const char* title, const char* text) {
    return "message " + UiText(title) + " | " + UiText(text);
  }

  AppState app;
  ScratchDir scratch_;
  UiAnswers ui_;
};

TEST_F(CommandTableTest, EveryIdReachesItsHandler) {
  // Started in its own folder, the program's help is the working directory's.
  const WorkingDirectory inProgramDirectory(scratch_.Dir());
  const std::string help = "open " + scratch_.Dir() + "MFLPX.html";
  struct Case {
    std::vector<int> ids;
    std::vector<std::string> effects;
  };
  // Nothing is selected and the log is empty, so the list commands warn.
  const std::vector<Case> cases = {
      {{0, 50}, {"window " + UiText("s6")}},
      {{1, 51}, {Message("s1", "s55")}},
      {{2, 57}, {Message("s57", "s100")}},
      {{3, 52}, {Message("s1", "s5")}},
      {{4, 53}, {Message("s1", "s53")}},
      {{5, 54}, {Message("s1", "s54")}},
      {{6, 55}, {help}},
      {{7}, {std::string("open ") + kWebSiteUrl}},
      {{8, 56}, {"window " + UiText("s3")}},
      {{9}, {Message("s1", "s103")}},
      {{11}, {"window " + UiText("s49")}},
      {{58}, {Message("s106", "s107")}},
      {{59}, {}},
      {{12, 49, 60, -1}, {}},
  };
  for (const Case& c : cases)
    for (int id : c.ids) EXPECT_EQ(Run(id), c.effects) << "command " << id;
  EXPECT_FALSE(app.quit);
}

TEST_F(CommandTableTest, SaveAndClearActOnTheLog) {
  app.LogActions = 1;
  AddLogLine(app, "one line");
  EXPECT_EQ(Run(9), std::vector<std::string>{"save " + UiText("s101")});
  EXPECT_EQ(LogListWidget(app)->LineCount(), 1);
  EXPECT_TRUE(Run(10).empty());
  EXPECT_EQ(LogListWidget(app)->LineCount(), 0);
}

TEST_F(CommandTableTest, DeleteAndCtrlRRemoveTheSelectedTaskWhileTheLogHasFocus) {
  for (const char* name : {"a.avi", "b.avi", "c.avi"}) ProgramTasks(app).Append(Task{name, std::string(name) + ".amv"});
  MainWindow(app)->show();
  MainWindow(app)->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(MainWindow(app)));
  for (int key : {Qt::Key_Delete, Qt::Key_R}) {
    TaskListWidget(app)->setCurrentItem(TaskListWidget(app)->topLevelItem(0));
    LogListWidget(app)->setFocus();
    QTest::keyClick(LogListWidget(app), static_cast<Qt::Key>(key),
                    key == Qt::Key_R ? Qt::ControlModifier : Qt::NoModifier);
  }
  ASSERT_EQ(ProgramTasks(app).Count(), 1);
  EXPECT_EQ(ProgramTasks(app).At(0).InputFile, "c.avi");
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(CommandTableTest, HelpComesFromTheWorkingDirectoryElseFromTheProgramDirectory) {
  ScratchDir elsewhere;
  const WorkingDirectory there(elsewhere.Dir());
  EXPECT_EQ(Run(55), std::vector<std::string>{"open " + scratch_.Dir() + "MFLPX.html"})
      << "a program started from the menu runs where there is no help file";
  elsewhere.Write("MFLPX.html/inside", "");
  EXPECT_EQ(Run(55), std::vector<std::string>{"open " + scratch_.Dir() + "MFLPX.html"})
      << "a folder of that name is no help file";
  std::filesystem::remove_all(elsewhere.Path("MFLPX.html"));
  elsewhere.Write("MFLPX.html", "<html></html>");
  EXPECT_EQ(Run(55), std::vector<std::string>{"open " + elsewhere.Dir() + "MFLPX.html"});
}

TEST_F(CommandTableTest, ExitQuitsOnYesOnly) {
  for (int id : {2, 57}) {
    app.quit = false;
    ui_.answer = MessageAnswer::No;
    DispatchCommand(app, id);
    EXPECT_FALSE(app.quit);
    EXPECT_TRUE(MainWindow(app) != nullptr);
    ui_.answer = MessageAnswer::Yes;
    DispatchCommand(app, id);
    EXPECT_TRUE(app.quit);
  }
}

TEST_F(CommandTableTest, ExitAsksInTheLoadedLanguage) {
  scratch_.Write("Lang/Test.ini",
                 "[MFLPXL]\nName=Test\n[Data]\ns57=Bitte bestätigen\ns100=Wirklich beenden?\n");
  LoadStringTable(scratch_.Path("Lang/Test.ini"));
  DispatchCommand(app, 57);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].title, "Bitte bestätigen");
  EXPECT_EQ(ui_.messages[0].text, "Wirklich beenden?");
  LoadStringTable("");
}

TEST_F(CommandTableTest, AnInterceptorTakesEveryCommandUntilRemoved) {
  std::vector<int> seen;
  SetCommandInterceptor(app, [this, &seen](int id) {
    seen.push_back(id);
    if (id == 59) SetCommandInterceptor(app, {});  // a batch ends while handling Stop
  });
  EXPECT_TRUE(CommandInterceptorActive(app));
  EXPECT_TRUE(Run(2).empty());
  EXPECT_TRUE(Run(58).empty());
  EXPECT_TRUE(Run(59).empty());
  EXPECT_EQ(seen, (std::vector<int>{2, 58, 59}));
  EXPECT_FALSE(CommandInterceptorActive(app));
  EXPECT_EQ(Run(58), std::vector<std::string>{Message("s106", "s107")});
}

}  // namespace
