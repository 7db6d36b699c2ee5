#include "app/main_loop.h"

#include <QEventLoop>

#include "Inc/AppState.h"

namespace {
QEventLoop* runningLoop = nullptr;
}

void RunMainLoop() {
  if (App().quit) return;
  QEventLoop loop;
  runningLoop = &loop;
  loop.exec();
  runningLoop = nullptr;
}

void EndMainLoop() {
  // Only this loop ends: an application-wide exit would also refuse every
  // later modal loop of the process.
  if (runningLoop) runningLoop->quit();
}
