#include "app/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void WaitForWindowEvents(int timeoutMs) {
  // The timer is the wake-up when nothing else arrives in time.
  QTimer wakeUp;
  wakeUp.setSingleShot(true);
  wakeUp.start(timeoutMs);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
