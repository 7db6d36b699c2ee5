#include "app/startup.h"

#include <QApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "app/commands.h"
#include "app/log_list.h"
#include "app/main_window.h"
#include "scratch_dir.h"
#include "shell_test_support.h"

namespace {

// What the user could see at the moment the main window first showed.
struct FirstSight {
  bool seen = false;
  std::vector<std::string> logLines;
  int columnWidth = 0;
  bool splashOpen = false;
};

bool SplashOpen() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && widget->windowTitle() == "MFLPX initializing...") return true;
  return false;
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.Write("Lang/.keep", "");
    program_.Write("Core/ffmpeg", "#!/bin/sh\nexit 0\n");
  }

  // Runs the start-up; once the main window shows, notes what is on screen
  // and answers Exit with `quitAnswer`s in turn.
  int Run(bool splashWait = false) {
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [this, &watcher] {
      if (SplashOpen()) splashSeen_ = true;
      if (MainWindow(app) && MainWindow(app)->isVisible() && SplashOpen()) mainShownDuringSplash_ = true;
      if (!MainWindow(app) || !MainWindow(app)->isVisible()) return;
      if (!sight_.seen) {
        sight_.seen = true;
        sight_.splashOpen = SplashOpen();
        for (int row = 0; row < LogListWidget(app)->LineCount(); ++row)
          sight_.logLines.push_back(LogListWidget(app)->model()->index(row, 0).data().toString().toStdString());
        sight_.columnWidth = TaskListWidget(app)->columnWidth(4);
      }
      watcher.stop();
      ui_.answer = MessageAnswer::Yes;
      DispatchCommand(app, 57);
    });
    watcher.start(2);
    StartupOptions options;
    options.splashWait = splashWait;
    options.splashSleep = [this](std::chrono::milliseconds pause) {
      splashPauseMs_ += pause.count();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    options.dataDirectory = dataDirectory_;
    return RunProgram(app, program_.Dir(), options);
  }

  void ExpectOnlyMessage(const std::string& title, const std::string& text) {
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].title, title);
    EXPECT_EQ(ui_.messages[0].text, text);
    EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(ui_.messages[0].buttons, MessageButtons::Ok);
  }

  AppState app;
  ScratchDir program_;
  std::string dataDirectory_;
  UiAnswers ui_;
  FirstSight sight_;
  bool splashSeen_ = false;
  bool mainShownDuringSplash_ = false;
  std::atomic<long long> splashPauseMs_{0};
};

TEST_F(StartupTest, AMissingEmptyOrFolderEncoderEndsWithTheS2Message) {
  const std::vector<std::function<void()>> breakEncoder = {
      [this] { std::filesystem::remove(program_.Path("Core/ffmpeg")); },
      [this] { program_.Write("Core/ffmpeg", ""); },
      [this] {
        std::filesystem::remove(program_.Path("Core/ffmpeg"));
        std::filesystem::create_directories(program_.Path("Core/ffmpeg/bin"));
      },
  };
  for (const auto& breakIt : breakEncoder) {
    breakIt();
    ui_.Forget();
    EXPECT_EQ(Run(), 0);
    ExpectOnlyMessage(UiText("s1"), UiText("s2"));
    EXPECT_EQ(MainWindow(app), nullptr);
    EXPECT_FALSE(sight_.seen);
    std::filesystem::remove_all(program_.Path("Core/ffmpeg"));
  }
}

TEST_F(StartupTest, TheEncoderMessageComesInTheChosenLanguage) {
  std::filesystem::remove(program_.Path("Core/ffmpeg"));
  const std::string language = program_.Write(
      "Lang/Deutsch.ini", "[MFLPXL]\nName=Deutsch\n[Data]\ns1=Fehler\ns2=FFmpeg fehlt.\n");
  program_.Write("Config.ini", "[SET]\nLanguage=" + language + "\nLogActions=1\n");
  EXPECT_EQ(Run(), 0);
  ExpectOnlyMessage("Fehler", "FFmpeg fehlt.");
  LoadStringTable("");
}

TEST_F(StartupTest, AMissingLanguagesFolderEndsBeforeTheEncoderCheck) {
  std::filesystem::remove_all(program_.Path("Lang"));
  std::filesystem::remove(program_.Path("Core/ffmpeg"));
  EXPECT_EQ(Run(), 0);
  ExpectOnlyMessage("Error", "Error querying the languages directory!");
  EXPECT_EQ(MainWindow(app), nullptr);
}

TEST_F(StartupTest, FirstStartShowsTheWindowLogsTwoLinesAndQuitsOnExit) {
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(sight_.seen);
  EXPECT_EQ(sight_.logLines,
            (std::vector<std::string>{"Marrowind Flickpress 0.8 " + UiText("s98"), UiText("s99")}));
  EXPECT_EQ(sight_.columnWidth, 119);
  EXPECT_FALSE(sight_.splashOpen);
  EXPECT_TRUE(std::filesystem::exists(program_.Path("Config.ini")));
  EXPECT_TRUE(app.quit);
  EXPECT_EQ(MainWindow(app), nullptr) << "released at the end";
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, UiText("s100"));
}

TEST_F(StartupTest, SettingsKeptOutsideTheProgramDirectoryAreNamedInTheStartLines) {
  ScratchDir settings;
  dataDirectory_ = settings.Dir();
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(sight_.logLines,
            (std::vector<std::string>{"Marrowind Flickpress 0.8 " + UiText("s98"), UiText("s99"),
                                      "Settings and error reports are kept in " + settings.Dir()}));
  EXPECT_TRUE(std::filesystem::exists(settings.Path("Config.ini")));
  EXPECT_FALSE(std::filesystem::exists(program_.Path("Config.ini")));
}

TEST_F(StartupTest, LogActionsOtherThanOneKeepsTheLogEmpty) {
  program_.Write("Config.ini", "[SET]\nLanguage=\nLogActions=2\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(sight_.seen);
  EXPECT_TRUE(sight_.logLines.empty());
}

// The pauses are counted, not slept through, so a loaded machine cannot fail it.
TEST_F(StartupTest, SplashHoldsTheStartForThreeSecondsBeforeTheWindowShows) {
  EXPECT_EQ(Run(true), 0);
  EXPECT_EQ(splashPauseMs_, 3000);
  EXPECT_TRUE(splashSeen_);
  EXPECT_FALSE(mainShownDuringSplash_);
  EXPECT_TRUE(sight_.seen);
  EXPECT_FALSE(SplashOpen());
}

}  // namespace
