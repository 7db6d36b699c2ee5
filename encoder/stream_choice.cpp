#include "encoder/stream_choice.h"

#include "encoder/track_list.h"

namespace {

bool Eligible(const AVStream& stream, AVMediaType type) {
  // A cover picture is not a video: a song with one must not play as a still film.
  return stream.codecpar->codec_type == type && !(stream.disposition & AV_DISPOSITION_ATTACHED_PIC);
}

std::string Tag(const AVStream& stream, const char* key) {
  const AVDictionaryEntry* entry = av_dict_get(stream.metadata, key, nullptr, 0);
  return entry && entry->value[0] ? PrintableText(entry->value) : std::string();
}

}  // namespace

const AVStream* ChooseStream(const AVFormatContext& format, AVMediaType type, int relatedStream) {
  const AVStream* first = nullptr;
  for (unsigned i = 0; i < format.nb_streams; ++i) {
    const AVStream* stream = format.streams[i];
    if (!Eligible(*stream, type)) continue;
    if (stream->disposition & AV_DISPOSITION_DEFAULT) return stream;
    if (!first) first = stream;
  }
  const int best = av_find_best_stream(const_cast<AVFormatContext*>(&format), type, -1, relatedStream, nullptr, 0);
  if (best >= 0 && Eligible(*format.streams[best], type)) return format.streams[best];
  return first;
}

std::string StreamLanguage(const AVStream& stream) {
  const std::string language = Tag(stream, "language");
  return language.empty() || language == "und" ? std::string() : "(" + language + ")";
}

std::string StreamTitle(const AVStream& stream) {
  std::string text;
  if (stream.disposition & AV_DISPOSITION_DEFAULT) text += " (default)";
  if (const std::string title = Tag(stream, "title"); !title.empty()) text += " \"" + title + "\"";
  return text;
}
