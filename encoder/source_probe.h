#pragma once

#include "encoder/options.h"

// Describes the source for a user choosing what of it to convert, on stderr:
// the input lines a conversion writes, then one line per sound track, per
// subtitle track and per subtitle file beside the video, numbered as the
// -sound option counts them:
//   Sound track 1: stream 1, language eng, codec aac, default yes, title Commentary
//   Subtitle track 1: stream 3, language fre, codec ass, default no
//   Subtitle file 1: language en, codec subrip, name film.en.srt
// The title (left out when the file gives none) and the name come last, so
// they may hold commas. Exit status 0, or 1 after one line telling why the
// file cannot be read.
int WriteProbe(const EncoderOptions& options);
