#include "encoder/input_media.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "encoder/decode_shortcuts.h"
#include "encoder/failure_text.h"
#include "encoder/picture_clock.h"
#include "encoder/plain_file.h"
#include "encoder/stream_choice.h"

extern "C" {
#include <libavutil/cpu.h>
}

namespace {

// How far ahead of the other streams a packet may start before its stamp is
// taken as a jump rather than a gap in the content. Containers that declare
// discontinuities, and files whose two streams keep each other's clock, allow
// only a few seconds; a lone stream in another container may be a slide show
// whose stills last long.
constexpr double kShortJumpSeconds = 5;
constexpr double kLoneStreamJumpSeconds = 60;

constexpr int kMostFailuresPerPacket = 64;
// A demuxer that cannot read a packet usually skips to the next one; this
// many failures in a row, or one that leaves it where it was, end the reading.
constexpr int kMostReadFailuresInARow = 100;

// How many pictures a droppable one waits for before it is decoded all the
// same. Enough for the deepest reordering that encoders use, few enough that
// the packets held stay small.
constexpr size_t kMostPicturesAhead = 16;

std::optional<int64_t> Known(int64_t stamp) {
  return stamp == AV_NOPTS_VALUE ? std::nullopt : std::optional<int64_t>(stamp);
}

// Opens a decoder for a stream, halving its pictures `halvings` times as it
// decodes them; on failure returns FFmpeg's reason.
Failure OpenDecoder(const AVStream* stream, CodecContextPtr& decoder, int halvings = 0) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return "no decoder for codec '" + std::string(avcodec_get_name(stream->codecpar->codec_id)) + "'";
  decoder.reset(avcodec_alloc_context3(codec));
  if (!decoder) return ErrorText(AVERROR(ENOMEM));
  int result = avcodec_parameters_to_context(decoder.get(), stream->codecpar);
  if (result < 0) return ErrorText(result);
  decoder->pkt_timebase = stream->time_base;
  decoder->lowres = halvings;
  // Decoding pictures is the bulk of the work: spread it as far as it pays
  // for the size the pictures are decoded at.
  decoder->thread_count = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO
                              ? DecoderThreads(stream->codecpar->width >> halvings,
                                               stream->codecpar->height >> halvings, av_cpu_count())
                              : 0;
  decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  result = avcodec_open2(decoder.get(), codec, nullptr);
  if (result < 0) return ErrorText(result);
  return std::nullopt;
}

// Feeds one packet (or, with null, the end of the stream) and hands on every
// frame that comes out. A packet the decoder refuses, or a picture it cannot
// finish, is damaged: it is skipped and counted, as players skip it.
Failure DecodePacket(AVCodecContext* decoder, const AVPacket* packet, AVFrame* frame,
                     const InputMedia::FrameSink& sink, int64_t& damaged) {
  const int sent = avcodec_send_packet(decoder, packet);
  if (sent == AVERROR(ENOMEM)) return ErrorText(sent);
  if (sent < 0 && sent != AVERROR_EOF) ++damaged;
  // A decoder reports each picture it could not finish once; the bound only
  // guards against one that would repeat itself.
  for (int failures = 0; failures < kMostFailuresPerPacket;) {
    const int received = avcodec_receive_frame(decoder, frame);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return std::nullopt;
    if (received == AVERROR(ENOMEM)) return ErrorText(received);
    if (received < 0) {
      ++damaged;
      ++failures;
      continue;
    }
    Failure failure = sink(frame);
    av_frame_unref(frame);
    if (failure) return failure;
  }
  return std::nullopt;
}

}  // namespace

Failure InputMedia::Open(const std::string& path, const TrackChoice& sound) {
  path_ = path;
  if (Failure failure = RefuseIfNotAFile(path)) return failure;
  AVFormatContext* opened = nullptr;
  // The path is always a file, whatever colons it holds, and nothing the file
  // names (a playlist's entries, say) may reach out to the network.
  AVDictionary* settings = nullptr;
  av_dict_set(&settings, "protocol_whitelist", "file", 0);
  int result = avformat_open_input(&opened, ("file:" + path).c_str(), nullptr, &settings);
  av_dict_free(&settings);
  if (result < 0) return ReadFailure(path, result);
  format_.reset(opened);
  result = avformat_find_stream_info(opened, nullptr);
  if (result < 0) return ReadFailure(path, result);
  if (Failure failure = OpenVideo()) return failure;
  if (Failure failure = OpenAudio(sound)) return failure;
  JudgeVideoClock();
  const bool declaresJumps = opened->iformat->flags & AVFMT_TS_DISCONT;
  jumpSeconds_ = declaresJumps || AudioStream() ? kShortJumpSeconds : kLoneStreamJumpSeconds;
  mender_ = TimestampMender(jumpSeconds_);
  // The other streams are read but not decoded: how far their packets reach
  // tells a whole file from a cut-off one when the container gives no play
  // time per stream.
  return std::nullopt;
}

Failure InputMedia::OpenVideo() {
  videoStream_ = ChooseStream(*format_, AVMEDIA_TYPE_VIDEO, -1);
  if (!videoStream_) return path_ + ": the file holds no video stream.";
  if (Failure reason = OpenDecoder(videoStream_, video_))
    return path_ + ": the video stream cannot be decoded (" + *reason + ").";
  const AVCodecDescriptor* codec = avcodec_descriptor_get(videoStream_->codecpar->codec_id);
  intraOnly_ = codec && (codec->props & AV_CODEC_PROP_INTRA_ONLY);
  return std::nullopt;
}

Failure InputMedia::OpenAudio(const TrackChoice& choice) {
  const std::vector<Track> tracks = ListStreamTracks(*format_, AVMEDIA_TYPE_AUDIO);
  TrackPick pick;
  if (Failure failure = PickTrack(tracks, choice, "sound", pick)) return path_ + ": " + *failure;
  audioNote_ = pick.note;
  audioStream_ = pick.track ? format_->streams[pick.track->streamIndex]
                            : ChooseStream(*format_, AVMEDIA_TYPE_AUDIO, videoStream_->index);
  if (!audioStream_) return std::nullopt;
  if (Failure reason = OpenDecoder(audioStream_, audio_)) {
    audio_.reset();
    if (!audioNote_.empty()) audioNote_ += "\n";
    audioNote_ += "The sound stream cannot be decoded (" + *reason + "); the sound track will be silent.";
  }
  return std::nullopt;
}

void InputMedia::JudgeVideoClock() {
  const AVStream& video = *videoStream_;
  videoTick_ = av_q2d(video.time_base);
  PictureClockEvidence evidence;
  if (video.avg_frame_rate.num > 0 && video.avg_frame_rate.den > 0)
    evidence.headerPictureSeconds = 1 / av_q2d(video.avg_frame_rate);
  evidence.headerPictureCount = video.nb_frames;
  if (const AVStream* sound = AudioStream(); sound && sound->duration > 0)
    evidence.soundSeconds = sound->duration * av_q2d(sound->time_base);
  if (video_->framerate.num > 0 && video_->framerate.den > 0)
    evidence.codecPictureSeconds = 1 / av_q2d(video_->framerate);
  const double correction = PictureClockCorrection(evidence);
  if (correction == 1) return;
  clockCorrection_ = correction;
  videoTick_ *= correction;
  char line[200];
  std::snprintf(line, sizeof line,
                ": the header's frame rate is damaged (one picture every %.6g s); its pictures are timed at %.4g fps.",
                evidence.headerPictureSeconds, 1 / (evidence.headerPictureSeconds * correction));
  clockNote_ = path_ + line;
}

double InputMedia::AveragePictureSeconds() const {
  const AVRational rate = videoStream_->avg_frame_rate;
  return rate.num > 0 && rate.den > 0 ? clockCorrection_ / av_q2d(rate) : 0;
}

double InputMedia::PictureSeconds(int64_t duration) const {
  if (duration <= 0 || clockCorrection_ != 1) return AveragePictureSeconds();
  return std::min(duration * videoTick_, jumpSeconds_);
}

double InputMedia::ShiftAt(int64_t position) const {
  for (auto change = shifts_.rbegin(); change != shifts_.rend(); ++change)
    if (change->position <= position) return change->shift;
  return 0;
}

int64_t InputMedia::ReadPosition() const { return format_->pb ? avio_tell(format_->pb) : -1; }

double InputMedia::Tick(int streamIndex) const {
  return streamIndex == videoStream_->index ? videoTick_ : av_q2d(format_->streams[streamIndex]->time_base);
}

// Where the header says the streams in use end, in seconds, or nothing when
// only an estimate from the bit rate is known. Other streams (subtitles, a
// second sound track) may run longer and do not count.
std::optional<double> InputMedia::AnnouncedEnd() const {
  const AVFormatContext& format = *format_;
  if (format.duration_estimation_method != AVFMT_DURATION_FROM_STREAM) return std::nullopt;
  std::optional<double> end;
  for (const AVStream* stream : {videoStream_, AudioStream()}) {
    if (!stream || stream->duration == AV_NOPTS_VALUE) continue;
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    end = std::max(end.value_or(0.0), (start + stream->duration) * Tick(stream->index));
  }
  if (!end && format.duration != AV_NOPTS_VALUE) {
    const int64_t start = format.start_time == AV_NOPTS_VALUE ? 0 : format.start_time;
    end = (start + format.duration) / double(AV_TIME_BASE);
    // FFmpeg's own Matroska muxer writes the stamp the file ends at where
    // others write the play time from the start: a whole file meets the earlier.
    if (std::strncmp(format.iformat->name, "matroska", 8) == 0 && format.duration > start)
      end = format.duration / double(AV_TIME_BASE);
  }
  return end;
}

std::string InputMedia::CutShortNote(double reachedSeconds) const {
  const std::optional<double> announcedEnd = AnnouncedEnd();
  const double start = format_->start_time == AV_NOPTS_VALUE ? 0.0 : format_->start_time / double(AV_TIME_BASE);
  // Other streams that were read further show the file is whole; the converted ones just end earlier.
  const double read = std::max(reachedSeconds, otherStreamsEnd_.value_or(reachedSeconds)) - start;
  char line[200];
  if (announcedEnd) {
    const double announced = *announcedEnd - start;
    if (announced - read <= std::max(0.5, 0.02 * announced)) return {};
    std::snprintf(line, sizeof line, ": the file is cut short: converted the first %.2f s of %.2f s.", read, announced);
    return path_ + line;
  }
  if (!readError_) return {};
  std::snprintf(line, sizeof line, ": the file is cut short or damaged after %.2f s (%s): converted what comes before.",
                read, ErrorText(*readError_).c_str());
  return path_ + line;
}

Failure InputMedia::CheckDamage() const {
  if (damagedPictures_ * 2 <= picturesRead_) return std::nullopt;
  return path_ + ": the file is too damaged to convert: " + std::to_string(damagedPictures_) + " of its " +
         std::to_string(picturesRead_) + " pictures cannot be decoded.";
}

std::string InputMedia::DamageNote() const {
  // What was lost, not how often the decoders complained: the share of the
  // pictures handed on that never came out, of all the pictures read (those
  // left out as unused may have been lost alike), and the time the stamps
  // skip over unread.
  const int64_t undecoded =
      picturesHandedOn_ > 0
          ? std::max<int64_t>(0, picturesHandedOn_ - picturesShown_) * wholePictures_ / picturesHandedOn_
          : 0;
  const bool damageSeen = damagedPictures_ > 0 || damagedSound_ > 0 || undecoded > 0 || unreadableStretches_ > 0;
  // A whole file whose pictures come at a varying rate skips ahead too: its
  // gaps count as lost only where damage shows.
  const double missing = damageSeen ? missingPictureSeconds_ : 0;
  if (damagedPictures_ == 0 && damagedSound_ == 0 && undecoded == 0 && missing == 0) return {};
  const double pictureSeconds = undecoded * AveragePictureSeconds() + missing;
  const AVCodecParameters* sound = AudioStream() ? AudioStream()->codecpar : nullptr;
  const double soundSeconds = sound && sound->sample_rate > 0
                                   ? damagedSound_ * double(sound->frame_size > 0 ? sound->frame_size : 1024) /
                                         sound->sample_rate
                                   : 0;
  char line[200];
  std::snprintf(line, sizeof line,
                ": damaged in places: about %.1f s of pictures and %.1f s of sound could not be decoded and were "
                "skipped.",
                pictureSeconds, soundSeconds);
  return path_ + line;
}

bool InputMedia::SeekVideo(double seconds) {
  const int64_t target = static_cast<int64_t>(seconds / videoTick_);
  if (av_seek_frame(format_.get(), videoStream_->index, target, AVSEEK_FLAG_BACKWARD) < 0) return false;
  avcodec_flush_buffers(video_.get());
  if (audio_) avcodec_flush_buffers(audio_.get());
  waiting_.clear();
  recentPts_.clear();
  lastSoundStamp_.reset();
  nextPictureAt_.reset();
  skippedPts_.clear();
  mender_ = TimestampMender(jumpSeconds_);
  shifts_.clear();
  return true;
}

void InputMedia::MendTimestamps(AVPacket& packet) {
  const int64_t stamp = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
  if (stamp == AV_NOPTS_VALUE) return;
  const double tick = Tick(packet.stream_index);
  const double shift = mender_.Place(packet.stream_index, stamp * tick, packet.duration * tick);
  if (shift != (shifts_.empty() ? 0 : shifts_.back().shift))
    shifts_.push_back({packet.pos >= 0 ? packet.pos : ReadPosition(), shift});
  const int64_t ticks = std::llround(shift / tick);
  if (packet.pts != AV_NOPTS_VALUE) packet.pts += ticks;
  if (packet.dts != AV_NOPTS_VALUE) packet.dts += ticks;
}

void InputMedia::DropUnusableSoundStamp(AVPacket& packet) {
  const int64_t stamp = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
  if (stamp == AV_NOPTS_VALUE) return;
  const bool usable = !lastSoundStamp_ || stamp > *lastSoundStamp_;
  lastSoundStamp_ = stamp;
  if (!usable) packet.pts = packet.dts = AV_NOPTS_VALUE;
}

// A picture left out as unused that comes out all the same (others refer to
// it) does not stand for one handed on to be shown.
void InputMedia::NotePictureShown(int64_t pts) {
  const auto skipped = std::find(skippedPts_.begin(), skippedPts_.end(), pts);
  if (pts != AV_NOPTS_VALUE && skipped != skippedPts_.end()) {
    skippedPts_.erase(skipped);
    return;
  }
  ++picturesShown_;
}

// Where the video stream's stamps, in decoding order, skip more than half a
// picture past where the next one was due, the pictures between were never
// read: the reader passed over a damaged stretch.
void InputMedia::NoteMissingPictures(const AVPacket& packet) {
  const int64_t stamp = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
  if (stamp == AV_NOPTS_VALUE) return;
  const double seconds = stamp * videoTick_;
  const double length = PictureSeconds(packet.duration);
  if (nextPictureAt_ && seconds - *nextPictureAt_ > length / 2) missingPictureSeconds_ += seconds - *nextPictureAt_;
  nextPictureAt_ = std::max(nextPictureAt_.value_or(seconds + length), seconds + length);
}

void InputMedia::NoteOtherStream(const AVPacket& packet) {
  const int64_t stamp = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
  if (stamp == AV_NOPTS_VALUE) return;
  const double end = (stamp + packet.duration) * av_q2d(format_->streams[packet.stream_index]->time_base);
  otherStreamsEnd_ = std::max(otherStreamsEnd_.value_or(end), end);
}

Failure InputMedia::DecodeVideoHalved(int halvings) {
  CodecContextPtr halved;
  if (Failure reason = OpenDecoder(videoStream_, halved, halvings))
    return path_ + ": the video stream cannot be decoded (" + *reason + ").";
  video_ = std::move(halved);
  halvings_ = halvings;
  return std::nullopt;
}

void InputMedia::DecodeVideoRoughly() {
  // Threaded decoders take these from the context with every packet, so they hold from here on.
  video_->skip_loop_filter = AVDISCARD_BIDIR;
  video_->flags2 |= AV_CODEC_FLAG2_FAST;
  decodesRoughly_ = true;
}

// Whether the video stream's pictures may be left out one by one: interlaced
// video only where each packet holds whole frames, since where its two fields
// travel in packets of their own, dropping one would leave the other half a
// picture. MPEG-2 tells per picture; other codecs are decoded whole.
bool InputMedia::HoldsWholeFrames(const AVPacket& packet) const {
  const AVFieldOrder fields = videoStream_->codecpar->field_order;
  if (fields == AV_FIELD_UNKNOWN || fields == AV_FIELD_PROGRESSIVE) return true;
  return videoStream_->codecpar->codec_id == AV_CODEC_ID_MPEG2VIDEO && !HoldsFieldPicture(packet.data, packet.size);
}

// Key pictures are always decoded, unless every picture stands alone, and so
// is a picture whose time is not known before decoding.
std::optional<bool> InputMedia::SkipsFirstWaiting(const PictureFilter& used, bool atEnd) {
  const AVPacket& packet = *waiting_.front().packet;
  if (!used || packet.pts == AV_NOPTS_VALUE || ((packet.flags & AV_PKT_FLAG_KEY) && !intraOnly_)) return false;
  if (!waiting_.front().wholeFrames) return false;
  const double tick = videoTick_;
  const double start = packet.pts * tick;
  // Needed however briefly it shows: no need to wait for the pictures after it.
  if (used(start, start + tick)) return false;
  std::vector<PacketStamps> later;
  for (size_t i = 1; i < waiting_.size(); ++i)
    if (const AVPacket& next = *waiting_[i].packet; next.stream_index == videoStream_->index)
      later.push_back({Known(next.pts), Known(next.dts)});
  const std::vector<int64_t> earlier(recentPts_.begin(), recentPts_.end());
  const std::optional<int64_t> end = ShownUntil(packet.pts, earlier, later);
  if (!end) {
    if (atEnd || later.size() >= kMostPicturesAhead) return false;
    return std::nullopt;
  }
  if (used(start, *end * tick)) return false;
  unusedSeconds_ += (*end - packet.pts) * tick;
  return true;
}

// Hands the waiting packets on to their decoders in file order, up to a
// picture that must wait for more to be read; at the end, all of them.
Failure InputMedia::DecodeWaiting(const FrameSink& onPicture, const FrameSink& onSound, const PictureFilter& used,
                                  bool atEnd, AVFrame* frame) {
  while (!waiting_.empty()) {
    AVPacket* packet = waiting_.front().packet.get();
    Failure failure;
    if (packet->stream_index == videoStream_->index) {
      const std::optional<bool> skip = SkipsFirstWaiting(used, atEnd);
      if (!skip) return std::nullopt;
      if (packet->pts != AV_NOPTS_VALUE) {
        recentPts_.push_back(packet->pts);
        if (recentPts_.size() > kMostPicturesAhead) recentPts_.pop_front();
      }
      if (*skip) {
        skippedPts_.push_back(packet->pts);
        if (skippedPts_.size() > kMostPicturesAhead) skippedPts_.pop_front();
      }
      if (waiting_.front().wholeFrames) {
        ++wholePictures_;
        if (!*skip) ++picturesHandedOn_;
      }
      // A picture that stands alone is simply not handed on; others are
      // skipped by the decoder, which tells which ones nothing refers to.
      video_->skip_frame = *skip ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
      if (!*skip || !intraOnly_) failure = DecodePacket(video_.get(), packet, frame, onPicture, damagedPictures_);
    } else {
      failure = DecodePacket(audio_.get(), packet, frame, onSound, damagedSound_);
    }
    waiting_.pop_front();
    if (failure) return failure;
  }
  return std::nullopt;
}

Failure InputMedia::Decode(const FrameSink& onPicture, const FrameSink& onSound,
                           const std::function<bool()>& stop, const PictureFilter& used) {
  PacketPtr packet(av_packet_alloc());
  FramePtr frame(av_frame_alloc());
  if (!packet || !frame) return ErrorText(AVERROR(ENOMEM));
  const FrameSink countedPicture = [this, &onPicture](AVFrame* picture) {
    ++picturesDecoded_;
    NotePictureShown(picture->pts);
    return onPicture(picture);
  };
  int readFailures = 0;
  while (!stop()) {
    const int64_t before = ReadPosition();
    const int result = av_read_frame(format_.get(), packet.get());
    if (result == AVERROR_EOF) break;
    if (result == AVERROR(ENOMEM)) return ErrorText(result);
    if (result < 0) {
      if (++readFailures < kMostReadFailuresInARow && ReadPosition() > before) {
        ++unreadableStretches_;
        continue;
      }
      // The file ends inside its own data: what was read is kept, as from a cut-off download.
      readError_ = result;
      break;
    }
    readFailures = 0;
    const bool converted = packet->stream_index == videoStream_->index ||
                           (audio_ && packet->stream_index == audioStream_->index);
    if (!converted) {
      NoteOtherStream(*packet);
      av_packet_unref(packet.get());
      continue;
    }
    if (packet->stream_index != videoStream_->index) DropUnusableSoundStamp(*packet);
    MendTimestamps(*packet);
    if (packet->stream_index == videoStream_->index) {
      ++picturesRead_;
      NoteMissingPictures(*packet);
    }
    PacketPtr held(av_packet_alloc());
    if (!held) return ErrorText(AVERROR(ENOMEM));
    av_packet_move_ref(held.get(), packet.get());
    const bool wholeFrames = held->stream_index != videoStream_->index || HoldsWholeFrames(*held);
    waiting_.push_back({std::move(held), wholeFrames});
    if (Failure failure = DecodeWaiting(countedPicture, onSound, used, false, frame.get())) return failure;
  }
  if (stop()) return std::nullopt;
  if (Failure failure = DecodeWaiting(countedPicture, onSound, used, true, frame.get())) return failure;
  video_->skip_frame = AVDISCARD_DEFAULT;
  if (Failure failure = DecodePacket(video_.get(), nullptr, frame.get(), countedPicture, damagedPictures_))
    return failure;
  if (audio_) return DecodePacket(audio_.get(), nullptr, frame.get(), onSound, damagedSound_);
  return std::nullopt;
}

// Reads on from where a seek landed to the first key picture: whether it
// starts by `seconds`. The packets read are only looked at.
bool InputMedia::KeyPictureComesBy(double seconds, AVPacket& packet) {
  constexpr int kMostPacketsToLook = 10000;
  for (int i = 0; i < kMostPacketsToLook && av_read_frame(format_.get(), &packet) >= 0; ++i) {
    const bool key = packet.stream_index == videoStream_->index && (packet.flags & AV_PKT_FLAG_KEY);
    const int64_t stamp = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    av_packet_unref(&packet);
    if (key && stamp != AV_NOPTS_VALUE) return stamp * videoTick_ <= seconds;
  }
  return false;
}

void InputMedia::SeekVideoBefore(double seconds) {
  PacketPtr packet(av_packet_alloc());
  for (const double back : {0.0, 3.0, 15.0, 60.0}) {
    if (!packet || !SeekVideo(seconds - back)) return;
    if (KeyPictureComesBy(seconds, *packet)) {
      SeekVideo(seconds - back);
      return;
    }
  }
  const int64_t start = videoStream_->start_time == AV_NOPTS_VALUE ? 0 : videoStream_->start_time;
  SeekVideo(start * videoTick_ - 1);
}
