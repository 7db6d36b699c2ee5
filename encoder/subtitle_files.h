#pragma once

#include <string>
#include <vector>

#include "encoder/track_list.h"

// Subtitle files beside a video that share its stem, as players find them:
// for film.mkv, film.srt, film.en.srt, film.ass, film.ssa and film.vtt (any
// letter case in the extension), sorted by name. The first part between stem
// and extension of two or three letters is the language ("und" without one).
// Names holding a control character are left out: they cannot be shown whole.
std::vector<Track> ListSubtitleFiles(const std::string& videoPath);
