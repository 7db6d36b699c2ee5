#pragma once

#include <optional>
#include <string>
#include <vector>

#include "encoder/failure.h"
#include "encoder/track_list.h"

// A track as the user names it: its number among the tracks of its kind,
// counted from 1 in file order, or its language, so that one choice fits a
// batch of films whose tracks lie in different orders. Neither: the file's
// default.
struct TrackChoice {
  int number = 0;
  std::string language;

  bool Given() const { return number > 0 || !language.empty(); }
};

// Reads "2" or "jpn" (two or three letters); nothing for anything else.
std::optional<TrackChoice> ReadTrackChoice(const std::string& text);

struct TrackPick {
  const Track* track = nullptr;  // null: the file's default
  std::string note;              // why the choice gave way to the default; empty when it did not
};

// Finds the chosen one of `tracks` (of the kind `kind` names, "sound" say).
// Of several in the language, the default-flagged one wins, then the first.
// A language the file lacks gives the default with a note; a number beyond
// the tracks fails, for the user named a track that is not there.
Failure PickTrack(const std::vector<Track>& tracks, const TrackChoice& choice, const std::string& kind,
                  TrackPick& pick);
