#pragma once

// The modal About window; returns when it has been closed.
void AboutWindow();
