#pragma once

#include <chrono>
#include <functional>

// How the splash's worker thread pauses; the program sleeps the whole time.
using SplashSleep = std::function<void(std::chrono::milliseconds)>;
void SleepWhole(std::chrono::milliseconds pause);

// Shows the borderless splash picture while a worker thread pauses three
// seconds, a second at a time, dispatching window events meanwhile, then
// closes it. Without `wait` the thread is not started and the splash closes
// after one pass.
void ShowSplashWindow(bool wait, const SplashSleep& sleep = SleepWhole);
