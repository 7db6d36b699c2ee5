#pragma once

// Waits at most `timeoutMs` milliseconds for window events and dispatches
// those that arrive; returns early when some were handled.
void WaitForWindowEvents(int timeoutMs);
