#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <string>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "Inc/UiSeam.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/qt_translation.h"
#include "app/qt_ui_hooks.h"
#include "app/shell_test_support.h"
#include "app/startup.h"
#include "scratch_dir.h"
#include "tasks/task_editor_dialog.h"
#include "tasks/task_list.h"

namespace {

StartupOptions WithoutSplash(std::vector<std::string> inputFiles = {}) {
  StartupOptions options;
  options.splashWait = false;
  options.inputFiles = std::move(inputFiles);
  return options;
}

class QueueStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.Write("Lang/.keep", "");
    program.Write("Core/ffmpeg", "#!/bin/sh\nexit 0\n");
  }
  void TearDown() override {
    InstallUiHooks({});
    InstallQtTranslation("");
    LoadStringTable("");
  }

  // Runs the program; act is called on every tick once the main window shows
  // until it returns true, after which Exit is pressed.
  int Run(const StartupOptions& options, std::function<bool()> act) {
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (!MainWindow(app) || !MainWindow(app)->isVisible() || !act()) return;
      watch.stop();
      DispatchCommand(app, 57);
    });
    watch.start(5);
    return RunProgram(app, program.Dir(), options);
  }

  // Runs the program in that language with Qt's own windows, presses Exit
  // and reads the Yes button of the real question box before saying Yes.
  std::string YesButtonOfTheExitQuestion(const std::string& languageFile) {
    program.Write("Config.ini", "[SET]\nLanguage=" + languageFile + "\nLogActions=1\n");
    InstallQtUiHooks(app);
    std::string yes;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->button(QMessageBox::Yes)) return;
      yes = box->button(QMessageBox::Yes)->text().toStdString();
      box->button(QMessageBox::Yes)->click();
    });
    answer.start(5);
    Run(WithoutSplash(), [] { return true; });
    return yes;
  }

  AppState app;
  ScratchDir program;
};

TEST_F(QueueStartTest, FilesOnTheCommandLineOpenTheEditorOnceTheWindowShows) {
  UiAnswers ui;
  ui.answer = MessageAnswer::Yes;
  const std::string a = program.Write("clips/a.mp4", "video");
  const std::string b = program.Write("clips/b.mkv", "video");
  std::string shown;
  bool windowShown = false;
  int tasks = -1;
  Run(WithoutSplash({a, b}), [&] {
    auto* editor = qobject_cast<TaskEditorDialog*>(QApplication::activeModalWidget());
    if (!editor) return tasks >= 0;
    windowShown = MainWindow(app)->isVisible();
    shown = editor->Widgets().input->text().toStdString();
    editor->Widgets().accept->click();
    tasks = ProgramTasks(app).Count();
    return true;
  });
  EXPECT_TRUE(windowShown);
  EXPECT_EQ(shown, a + " (+1 more)");
  EXPECT_EQ(tasks, 2);
}

// The folder of Config.ini takes in files named on the command line.
TEST_F(QueueStartTest, FilesOnTheCommandLineGoToTheConfiguredOutputFolder) {
  UiAnswers ui;
  ui.answer = MessageAnswer::Yes;
  const std::string out = program.Path("out");
  std::filesystem::create_directories(out);
  program.Write("Config.ini", "[SET]\nLanguage=\nLogActions=1\nOutDir=" + out + "\n");
  const std::string a = program.Write("card/a.mp4", "video");
  const std::string b = program.Write("card/b.mkv", "video");
  int tasks = -1;
  Run(WithoutSplash({a, b}), [&] {
    auto* editor = qobject_cast<TaskEditorDialog*>(QApplication::activeModalWidget());
    if (!editor) return tasks >= 0;
    editor->Widgets().accept->click();
    tasks = ProgramTasks(app).Count();
    return true;
  });
  app.outputFolder.clear();
  ASSERT_EQ(tasks, 2) << (ui.messages.empty() ? "" : ui.messages[0].text);
  EXPECT_EQ(ProgramTasks(app).At(0).OutputFile, out + "/a.amv");
  EXPECT_EQ(ProgramTasks(app).At(1).OutputFile, out + "/b.amv");
}

// A name that is not UTF-8 cannot be shown exactly, yet the task names
// that very file, not one whose name the window made up.
TEST_F(QueueStartTest, AFileNameThatIsNotUtf8KeepsItsBytes) {
  UiAnswers ui;
  ui.answer = MessageAnswer::Yes;
  const std::string file = program.Write("clips/caf\xe9.mp4", "video");
  int tasks = -1;
  Run(WithoutSplash({file}), [&] {
    auto* editor = qobject_cast<TaskEditorDialog*>(QApplication::activeModalWidget());
    if (!editor) return tasks >= 0;
    editor->Widgets().accept->click();
    tasks = ProgramTasks(app).Count();
    return true;
  });
  ASSERT_EQ(tasks, 1) << (ui.messages.empty() ? "" : ui.messages[0].text);
  EXPECT_EQ(ProgramTasks(app).At(0).InputFile, file);
  EXPECT_EQ(ProgramTasks(app).At(0).OutputFile, program.Path("clips/caf\xe9.amv"));
}

TEST_F(QueueStartTest, AFolderWithoutVideosOnTheCommandLineSaysSo) {
  UiAnswers ui;
  ui.answer = MessageAnswer::Yes;
  program.Write("empty/notes.txt", "not a video");
  Run(WithoutSplash({program.Path("empty")}), [&] { return !ui.messages.empty(); });
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages[0].title, UiText("s106"));
  EXPECT_EQ(ui.messages[0].text, UiText("s146"));
  EXPECT_EQ(ProgramTasks(app).Count(), 0);
}

TEST_F(QueueStartTest, TheLanguageFilesCodeGivesQtsStandardButtonsInThatLanguage) {
  std::filesystem::copy_file(MFLPX_SOURCE_DIR "/Lang/de.ini", program.Path("Lang/de.ini"));
  program.Write("Lang/x.ini", "[MFLPXL]\nName = X\n[Data]\ns1 = Fehler\n");
  EXPECT_EQ(YesButtonOfTheExitQuestion(program.Path("Lang/de.ini")), "&Ja");
  EXPECT_EQ(YesButtonOfTheExitQuestion(program.Path("Lang/x.ini")), "&Yes") << "no Code, Qt's English";
  EXPECT_EQ(YesButtonOfTheExitQuestion(""), "&Yes");
}

// The real program: an unknown option is refused before any window, and
// before Qt, so also where no display can be opened.
TEST(QueueCommandLine, AnUnknownOptionEndsWithExitCodeTwoAndSaysWhy) {
  for (const char* display : {"offscreen", "xcb"}) {
    SCOPED_TRACE(display);
    const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=") + display + " '" +
                                MFLPX_PROGRAM + "' --bogus 2>&1 >/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string said;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) said += buffer;
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(said, "mflpx: unknown option '--bogus'\nUsage: mflpx [FILE...]\n");
  }
}

}  // namespace
