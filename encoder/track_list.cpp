#include "encoder/track_list.h"

namespace {

std::string Tag(const AVStream& stream, const char* key) {
  const AVDictionaryEntry* entry = av_dict_get(stream.metadata, key, nullptr, 0);
  return entry ? PrintableText(entry->value) : std::string();
}

}  // namespace

std::string PrintableText(const std::string& text) {
  std::string printable = text;
  for (char& c : printable)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return printable;
}

std::vector<Track> ListStreamTracks(const AVFormatContext& format, AVMediaType type) {
  std::vector<Track> tracks;
  for (unsigned i = 0; i < format.nb_streams; ++i) {
    const AVStream& stream = *format.streams[i];
    if (stream.codecpar->codec_type != type || (stream.disposition & AV_DISPOSITION_ATTACHED_PIC)) continue;
    Track track;
    track.streamIndex = stream.index;
    track.language = Tag(stream, "language");
    if (track.language.empty()) track.language = "und";
    track.title = Tag(stream, "title");
    track.codec = avcodec_get_name(stream.codecpar->codec_id);
    track.isDefault = stream.disposition & AV_DISPOSITION_DEFAULT;
    tracks.push_back(std::move(track));
  }
  return tracks;
}
