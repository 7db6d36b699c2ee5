#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tasks/picture_fit.h"
#include "tasks/task.h"

// Asking the encoder for one picture of a task: the argument line of its
// preview mode, and the source description it answers with first.

// The task's own arguments with "-preview SECONDS" in front and the picture
// path in place of the output file, so the picture passes through exactly
// the crop, scale and pad steps of the conversion.
std::vector<std::string> PreviewArgumentVector(const Task& task, double seconds, const std::string& picturePath);

// The player's screen the task converts for, in pixels.
struct ScreenSize {
  int width = 0;
  int height = 0;
};
ScreenSize TaskScreenSize(const Task& task);

struct PreviewSource {
  SourcePicture picture;
  double durationSeconds = -1;  // -1 when the file does not tell
};

// Reads the encoder's line "Preview source: 1920x1080, aspect 1:1, rotation 0,
// duration 12.500"; nothing for any other line.
std::optional<PreviewSource> ParsePreviewSourceLine(const std::string& line);
