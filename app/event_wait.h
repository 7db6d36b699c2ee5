#pragma once

// Waits at most `timeoutMs` milliseconds for window events and dispatches
// those that arrive; returns early when some were handled, or when
// `wakeDescriptor` (unless -1) turns readable.
void WaitForWindowEvents(int timeoutMs, int wakeDescriptor = -1);
