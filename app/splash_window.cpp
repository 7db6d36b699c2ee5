#include "app/splash_window.h"

#include <QLabel>
#include <QScreen>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <memory>
#include <system_error>
#include <thread>

#include "Inc/ErrorHandler.h"
#include "app/event_wait.h"
#include "widgets/builtin_images.h"

namespace {

constexpr int kWidth = 266;
constexpr int kHeight = 200;

std::unique_ptr<QWidget> OpenSplash() {
  auto splash = std::make_unique<QWidget>(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint);
  splash->setWindowTitle(QStringLiteral("MFLPX initializing..."));
  splash->setFixedSize(kWidth, kHeight);
  auto* picture = new QLabel(splash.get());
  picture->setGeometry(0, 0, kWidth, kHeight);
  picture->setPixmap(BuiltInImage(13));
  if (const QScreen* screen = splash->screen())
    splash->move(screen->availableGeometry().center() - splash->rect().center());
  splash->show();
  return splash;
}

}  // namespace

void SleepWhole(std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }

void ShowSplashWindow(bool wait, const SplashSleep& sleep) {
  CHECKPOINT();
  std::atomic<bool> ended{true};
  std::thread timer;
  if (wait) {
    ended = false;
    try {
      timer = std::thread([&ended, &sleep] {
        for (int second = 0; second < 3; ++second) sleep(std::chrono::milliseconds(1000));
        ended = true;
      });
    } catch (const std::system_error&) {
      // No thread, no wait: the splash closes after its first pass.
      ended = true;
    }
  }
  const std::unique_ptr<QWidget> splash = OpenSplash();
  do {
    WaitForWindowEvents(5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  } while (!ended);
  if (timer.joinable()) timer.join();
  CHECKPOINT();
}
