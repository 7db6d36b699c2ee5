#pragma once

#include <string>

#include "encoder/failure.h"

// A pipe, device or socket would make opening and reading wait forever (a
// FIFO with no writer) or never end: only files and folders go further, and
// a folder is refused by the reader with its own message.
Failure RefuseIfNotAFile(const std::string& path);
