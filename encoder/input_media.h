#pragma once

#include <functional>
#include <optional>
#include <string>

#include "encoder/ffmpeg_handles.h"
#include "encoder/timestamp_mender.h"

// An opened input file with decoders for its first video stream (required)
// and its first audio stream (optional).
class InputMedia {
 public:
  Failure Open(const std::string& path);

  const AVFormatContext* Format() const { return format_.get(); }
  const AVStream* VideoStream() const { return video_stream_; }
  // Null when the file has no sound or its sound cannot be decoded.
  const AVStream* AudioStream() const { return audio_ ? audio_stream_ : nullptr; }
  // Why a sound stream that exists is not used; empty otherwise.
  const std::string& AudioNote() const { return audio_note_; }

  // Hands every decoded picture and sound frame of the file, in file order,
  // to the two callbacks, their time stamps mended into one continuous clock. Stops at the first failure a callback returns or at
  // a read error; `stop` is polled between packets.
  using FrameSink = std::function<Failure(AVFrame*)>;
  Failure Decode(const FrameSink& on_picture, const FrameSink& on_sound, const std::function<bool()>& stop);

  // Moves to the last key picture at or before `seconds` of the video
  // stream's own time, so that decoding from there reaches that moment soonest.
  // A file that cannot seek goes on from where it is, which is slower only.
  void SeekVideo(double seconds);

  // After decoding: fails when the streams stopped well before the play time
  // the file's own header announces, as they do in a cut-off download.
  Failure CheckReadWhole(double reached_seconds) const;

 private:
  Failure OpenVideo();
  void OpenAudio();
  std::optional<double> AnnouncedEnd() const;
  void MendTimestamps(AVPacket& packet);
  void NoteOtherStream(const AVPacket& packet);

  std::string path_;
  InputPtr format_;
  const AVStream* video_stream_ = nullptr;
  const AVStream* audio_stream_ = nullptr;
  CodecContextPtr video_;
  CodecContextPtr audio_;
  std::string audio_note_;
  TimestampMender mender_{0};
  std::optional<double> other_streams_end_;  // where the packets of streams not converted reach
};
