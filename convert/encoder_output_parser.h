#pragma once

#include <optional>
#include <string>

// What the encoder has told about the current task, in seconds. A fresh
// parser knows no duration yet (-1), so nothing is shown before the task's
// own duration line; reset it for every task.
struct EncoderOutputParser {
  float duration = -1.0f;
  float time = 0.0f;
};

// Takes one trimmed, non-empty line of the encoder's error output, keeps the
// duration or time it carries, and returns the status text such as
// "9.2% ready", or nothing while no sound percentage can be computed.
std::optional<std::string> ParseEncoderLine(EncoderOutputParser& parser, const std::string& line);
