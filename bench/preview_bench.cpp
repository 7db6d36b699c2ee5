// Times the task editor's preview on a 1080p H.264 film: from pressing
// Preview to the first picture, and from moving the slider into the middle of
// a long group of pictures to its picture. The baseline is stock FFmpeg
// decoding the one picture at the same moment, timed in the same run.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Inc/AppState.h"
#include "Inc/Lang.h"
#include "app/main_window.h"
#include "convert/preview_window.h"
#include "tasks/task_editor_dialog.h"

namespace {

constexpr int kRounds = 5;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double StockDecode(const std::string& clip, const char* moment) {
  const std::string command =
      std::string("ffmpeg -nostdin -v error -ss ") + moment + " -i '" + clip + "' -frames:v 1 -f null - ";
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "stock ffmpeg failed\n");
  return SecondsSince(start);
}

// Seconds until the preview shows the picture it was asked for.
double WaitForPicture(PreviewWindow& window, Clock::time_point start) {
  if (!QTest::qWaitFor([&window] { return window.Idle(); }, 60000)) std::fprintf(stderr, "no answer in a minute\n");
  const double seconds = SecondsSince(start);
  if (window.findChild<QLabel*>("previewPicture")->pixmap().isNull())
    std::fprintf(stderr, "no picture: %s\n", window.findChild<QLabel*>("previewMessage")->text().toUtf8().constData());
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  AppState app;
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "mflpx-preview-bench";
  std::filesystem::create_directories(work);
  const std::string clip = (work / "film.mp4").string();
  std::puts("Generating 10 s of 1920x1080 25 fps H.264 (key pictures 10 s apart)...");
  const std::string make = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080:rate=25 -t 10 "
                           "-c:v libx264 -preset veryfast -g 250 -sc_threshold 0 -pix_fmt yuv420p '" + clip + "'";
  if (std::system(make.c_str()) != 0) return 1;

  LoadStringTable("");
  SetProgramDirectory(app, work.string() + "/");
  app.encoderPath = MFLPX_ENCODER_PATH;
  BuildMainWindow(app);

  double openBest = 1e9, openStock = 1e9, seekBest = 1e9, seekStock = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto startState = PrepareTaskEditor(app, TaskEditorMode::Add);
    TaskEditorDialog editor(app, *startState, MainWindow(app));
    editor.Widgets().input->setText(QString::fromStdString(clip));
    editor.Widgets().resolution->setCurrentIndex(3);
    editor.show();
    auto start = Clock::now();
    editor.findChild<QPushButton*>("previewButton")->click();
    PreviewWindow& window = *editor.findChild<PreviewWindow*>();
    openBest = std::min(openBest, WaitForPicture(window, start));
    start = Clock::now();
    window.findChild<QSlider*>("previewMoment")->setValue(50);  // 5 s, half a group of pictures from its key picture
    seekBest = std::min(seekBest, WaitForPicture(window, start));
    openStock = std::min(openStock, StockDecode(clip, "0"));
    seekStock = std::min(seekStock, StockDecode(clip, "5"));
  }
  std::printf("open to first picture: %.3f s; stock decode of that picture %.3f s; ratio %.2f\n", openBest,
              openStock, openBest / openStock);
  std::printf("slider to 5 s:         %.3f s; stock decode of that picture %.3f s; ratio %.2f\n", seekBest,
              seekStock, seekBest / seekStock);
  std::printf("(best of %d rounds; the slider figure includes the 60 ms the window waits for a burst of changes)\n",
              kRounds);
  DestroyMainWindow(app);
  std::filesystem::remove_all(work);
  return 0;
}
