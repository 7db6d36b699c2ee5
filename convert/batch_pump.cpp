#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <deque>
#include <optional>

#include "app/commands.h"
#include "app/main_window.h"
#include "convert/batch_driver.h"

namespace {

// Handles window events until one arrives, wakeDescriptor turns readable or
// timeoutMs pass. The main window's event filter anchors every event handled
// here, as in the main loop.
void HandleEventsFor(int timeoutMs, int wakeDescriptor) {
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(timeoutMs);
  std::optional<QSocketNotifier> readable;
  if (wakeDescriptor >= 0) readable.emplace(wakeDescriptor, QSocketNotifier::Read);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace

void StartConversion() {
  // Commands reach the batch instead of the command table while it runs; it
  // acts on Stop only, and the main window refuses to close meanwhile.
  std::deque<int> commands;
  SetCommandInterceptor([&commands](int commandId) { commands.push_back(commandId); });

  BatchSeams seams;
  seams.setToolbarEnabled = SetToolbarEnabled;
  seams.waitForCommand = [&commands](int timeoutMs, int wakeDescriptor) {
    if (commands.empty()) HandleEventsFor(timeoutMs, wakeDescriptor);
    if (commands.empty()) return -1;
    const int commandId = commands.front();
    commands.pop_front();
    return commandId;
  };
  StartConversion(seams);
  SetCommandInterceptor({});
}
