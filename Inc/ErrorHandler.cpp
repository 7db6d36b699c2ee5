#include "Inc/ErrorHandler.h"

std::atomic<uint32_t> SourcePosition{0};

// Placeholder: replaced by the crash handler work.
void InstallCrashHandler() {}
