#include "encoder/track_choice.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "encoder/language_codes.h"

std::optional<TrackChoice> ReadTrackChoice(const std::string& text) {
  TrackChoice choice;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, choice.number);
  if (!text.empty() && error == std::errc() && stop == end) {
    if (choice.number < 1) return std::nullopt;
    return choice;
  }
  const bool letters = std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalpha(c); });
  if (!letters || text.size() < 2 || text.size() > 3) return std::nullopt;
  return TrackChoice{0, text};
}

Failure PickTrack(const std::vector<Track>& tracks, const TrackChoice& choice, const std::string& kind,
                  TrackPick& pick) {
  pick = {};
  if (choice.number > 0) {
    if (choice.number > static_cast<int>(tracks.size()))
      return "The file has " + std::to_string(tracks.size()) + " " + kind + " track" + (tracks.size() == 1 ? "" : "s") +
             "; there is no " + kind + " track " + std::to_string(choice.number) + ".";
    pick.track = &tracks[static_cast<size_t>(choice.number - 1)];
    return std::nullopt;
  }
  if (choice.language.empty()) return std::nullopt;
  for (const Track& track : tracks) {
    if (!SameLanguage(track.language, choice.language)) continue;
    if (!pick.track || (track.isDefault && !pick.track->isDefault)) pick.track = &track;
  }
  if (!pick.track)
    pick.note = "The file has no " + kind + " track in language '" + choice.language + "'; its default one is used.";
  return std::nullopt;
}
