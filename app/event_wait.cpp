#include "app/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <optional>

void WaitForWindowEvents(int timeoutMs, int wakeDescriptor) {
  // The timer is the wake-up when nothing else arrives in time.
  QTimer wakeUp;
  wakeUp.setSingleShot(true);
  wakeUp.start(timeoutMs);
  std::optional<QSocketNotifier> readable;
  if (wakeDescriptor >= 0) readable.emplace(wakeDescriptor, QSocketNotifier::Read);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
