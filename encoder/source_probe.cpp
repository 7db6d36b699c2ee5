#include "encoder/source_probe.h"

#include <cstdio>

#include "encoder/input_media.h"
#include "encoder/printable_text.h"
#include "encoder/report.h"
#include "encoder/subtitle_files.h"
#include "encoder/track_list.h"

namespace {

std::string StreamTrackLines(const std::string& kind, const std::vector<Track>& tracks) {
  std::string text;
  for (size_t i = 0; i < tracks.size(); ++i) {
    const Track& track = tracks[i];
    text += kind + " track " + std::to_string(i + 1) + ": stream " + std::to_string(track.streamIndex) + ", language " +
            track.language + ", codec " + track.codec + ", default " + (track.isDefault ? "yes" : "no");
    if (!track.title.empty()) text += ", title " + track.title;
    text += "\n";
  }
  return text;
}

std::string FileLines(const std::vector<Track>& files) {
  std::string text;
  for (size_t i = 0; i < files.size(); ++i)
    text += "Subtitle file " + std::to_string(i + 1) + ": language " + files[i].language + ", codec " + files[i].codec +
            ", name " + Printable(files[i].fileName) + "\n";
  return text;
}

}  // namespace

int WriteProbe(const EncoderOptions& options) {
  InputMedia input;
  if (Failure failure = input.Open(options.inputPath)) {
    std::fprintf(stderr, "%s\n", Printable(*failure).c_str());
    return 1;
  }
  const AVFormatContext& format = *input.Format();
  const std::string text = DescribeInput(input, options.inputPath) +
                           StreamTrackLines("Sound", ListStreamTracks(format, AVMEDIA_TYPE_AUDIO)) +
                           StreamTrackLines("Subtitle", ListStreamTracks(format, AVMEDIA_TYPE_SUBTITLE)) +
                           FileLines(ListSubtitleFiles(options.inputPath));
  std::fputs(text.c_str(), stderr);
  return 0;
}
