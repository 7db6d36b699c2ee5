#pragma once

#include <string>

#include "encoder/ffmpeg_handles.h"

// The stream of `type` a file plays by default: the first one flagged as
// default, as players choose, otherwise the one FFmpeg judges best (for sound,
// preferring the program of `relatedStream`, or -1). A cover picture is
// never taken for video. Null when the file has no such stream.
const AVStream* ChooseStream(const AVFormatContext& format, AVMediaType type, int relatedStream);

// How a stream names itself on the stream lines: "(eng)" after its number
// when its language is known; its title and default flag after its details.
std::string StreamLanguage(const AVStream& stream);
std::string StreamTitle(const AVStream& stream);
