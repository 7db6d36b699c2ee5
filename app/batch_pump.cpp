#include "app/batch_pump.h"

#include <deque>

#include "app/commands.h"
#include "app/event_wait.h"
#include "app/main_window.h"
#include "convert/batch_driver.h"

void RunBatchInMainWindow(AppState& app) {
  // Commands reach the batch instead of the command table while it runs; it
  // acts on Stop only, and the main window refuses to close meanwhile.
  std::deque<int> commands;
  SetCommandInterceptor(app, [&commands](int commandId) { commands.push_back(commandId); });

  BatchSeams seams = TaskListSeams(app);
  seams.setToolbarEnabled = [&app](bool enabled) { SetToolbarEnabled(app, enabled); };
  // The main window's event filter anchors every event handled here, as in
  // the main loop.
  seams.waitForCommand = [&commands](int timeoutMs, int wakeDescriptor) {
    if (commands.empty()) WaitForWindowEvents(timeoutMs, wakeDescriptor);
    if (commands.empty()) return -1;
    const int commandId = commands.front();
    commands.pop_front();
    return commandId;
  };
  StartConversion(app, seams);
  SetCommandInterceptor(app, {});
}
