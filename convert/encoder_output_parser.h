#pragma once

#include <optional>
#include <string>

#include "Inc/TextUtil.h"

// What the encoder has told about the current task, in seconds. A fresh
// parser knows no duration yet (-1), so nothing is shown before the task's
// own duration line; reset it for every task. A duration of 0 is one the
// encoder could not know (N/A).
struct EncoderOutputParser {
  float duration = -1.0f;
  float time = 0.0f;
  bool timeKnown = false;  // a progress line has been read
};

// Takes one trimmed, non-empty line of the encoder's error output, keeps the
// duration or time it carries (a negative one counts as 0), and returns the
// status text: "9.2% ready" when the duration is known, the time converted so
// far as H:MM:SS when it is unknown, or nothing before either can be told.
std::optional<std::string> ParseEncoderLine(EncoderOutputParser& parser, const std::string& line);
