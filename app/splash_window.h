#pragma once

// Shows the borderless splash picture while a worker thread sleeps three
// seconds, dispatching window events meanwhile, then closes it. Without
// `wait` the thread is not started and the splash closes after one pass.
void ShowSplashWindow(bool wait);
