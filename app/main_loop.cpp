#include "app/main_loop.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "Inc/AppState.h"

namespace {

// The running loop is a child of the application, found again by name.
constexpr const char* kLoopName = "mflpx-main-loop";

}  // namespace

void RunMainLoop(const AppState& app) {
  if (app.quit) return;
  QEventLoop loop(QCoreApplication::instance());
  loop.setObjectName(kLoopName);
  loop.exec();
}

void EndMainLoop() {
  // Only this loop ends: an application-wide exit would also refuse every
  // later modal loop of the process.
  if (auto* loop = QCoreApplication::instance()->findChild<QEventLoop*>(kLoopName, Qt::FindDirectChildrenOnly))
    loop->quit();
}
