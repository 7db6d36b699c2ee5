#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "encoder/ffmpeg_handles.h"
#include "encoder/timestamp_mender.h"
#include "encoder/track_choice.h"

// An opened input file with decoders for the video stream it plays by
// default (required) and its default sound stream, or the sound track
// chosen (optional).
class InputMedia {
 public:
  Failure Open(const std::string& path, const TrackChoice& sound = {});

  const AVFormatContext* Format() const { return format_.get(); }
  const AVStream* VideoStream() const { return videoStream_; }
  // Null when the file has no sound or its sound cannot be decoded.
  const AVStream* AudioStream() const { return audio_ ? audioStream_ : nullptr; }
  // Why the sound is not the one asked for or the file's: a language the
  // file lacks, or a stream that cannot be decoded; empty otherwise.
  const std::string& AudioNote() const { return audioNote_; }
  // Seconds per time-base tick of the video stream, mended when the header's rate is damaged.
  double VideoTick() const { return videoTick_; }
  // One picture's play time by the stream's average rate, mended like the
  // clock; 0 when unknown.
  double AveragePictureSeconds() const;
  // How long a picture whose packet gives `duration` ticks (0 when it gives
  // none) plausibly lasts, or 0 when unknown: never longer than a jump, and
  // by the average rate where the header's clock was damaged, as its
  // durations then are too.
  double PictureSeconds(int64_t duration) const;
  // What mending added, in seconds, to the stamps of a packet that starts
  // at byte `position` of the file, as far as reading has got; past that,
  // the latest. Streams not converted (subtitles) are placed by it.
  double ShiftAt(int64_t position) const;
  // How far reading has got into the file, in bytes; -1 when unknown.
  int64_t ReadPosition() const;
  // How the video clock was mended; empty when the header's rate was plausible.
  const std::string& ClockNote() const { return clockNote_; }

  // Decodes the video at 1/2^halvings of its size both ways, where the
  // codec can, from the start; before Decode.
  Failure DecodeVideoHalved(int halvings);
  int VideoHalvings() const { return halvings_; }

  // Lets the video decoder leave its in-loop filter out of B pictures and
  // take its fast shortcuts, for pictures scaled down so far that the
  // difference is lost.
  void DecodeVideoRoughly();
  bool DecodesVideoRoughly() const { return decodesRoughly_; }

  // Tells from a picture's start and end in seconds whether it will be used.
  using PictureFilter = std::function<bool(double startSeconds, double endSeconds)>;

  // Hands every decoded picture and sound frame of the file, in file order,
  // to the two callbacks, their time stamps mended into one continuous clock.
  // Stops at the first failure a callback returns; a read error ends the
  // reading as the end of the file does (CutShortNote tells it); `stop` is
  // polled between packets. Pictures that `used` (when given) turns down
  // and that no other picture refers to are not decoded at all, where the
  // codec can tell them in advance.
  using FrameSink = std::function<Failure(AVFrame*)>;
  Failure Decode(const FrameSink& onPicture, const FrameSink& onSound, const std::function<bool()>& stop,
                 const PictureFilter& used = {});

  // Pictures read from the file so far, and of those, the ones decoded.
  int64_t PicturesRead() const { return picturesRead_; }
  int64_t PicturesDecoded() const { return picturesDecoded_; }
  // The play time of the pictures left undecoded as unused. A reference
  // picture is decoded all the same, so this may count some of it twice.
  double UnusedPictureSeconds() const { return unusedSeconds_; }
  // After decoding: fails when most pictures could not be decoded, as in a
  // file that is mostly garbage.
  Failure CheckDamage() const;
  // After decoding: the line that tells how much was skipped as damaged, or
  // empty when nothing was.
  std::string DamageNote() const;

  // Moves to the last key picture at or before `seconds` of the video
  // stream's own time, so that decoding from there reaches that moment soonest.
  // Formats that seek by time stamp alone may land later; a file that cannot
  // seek goes on from where it is. Time stamps are mended afresh from there.
  // False when the file cannot seek.
  bool SeekVideo(double seconds);

  // Moves to a key picture at or before `seconds`, as SeekVideo does, also in
  // formats whose seek lands later: it then seeks further back, in the end to
  // the start.
  void SeekVideoBefore(double seconds);

  // After decoding, with the stamp the converted streams reached: the line
  // that tells how much of a file cut short was converted (its reading
  // failed, or its streams stopped well before the play time its header
  // announces, as in a cut-off download), or empty when it was read whole.
  std::string CutShortNote(double reachedSeconds) const;

 private:
  Failure OpenVideo();
  Failure OpenAudio(const TrackChoice& choice);
  void JudgeVideoClock();
  double Tick(int streamIndex) const;
  std::optional<double> AnnouncedEnd() const;
  void MendTimestamps(AVPacket& packet);
  void NoteOtherStream(const AVPacket& packet);
  void NoteMissingPictures(const AVPacket& packet);
  void NotePictureShown(int64_t pts);
  // A sound packet stamped no later than the one before carries no usable
  // stamp (some RealMedia files stamp every one 0): unstamped, it is placed
  // by the sample counts, straight after the sound before it.
  void DropUnusableSoundStamp(AVPacket& packet);
  bool HoldsWholeFrames(const AVPacket& packet) const;
  std::optional<bool> SkipsFirstWaiting(const PictureFilter& used, bool atEnd);
  Failure DecodeWaiting(const FrameSink& onPicture, const FrameSink& onSound, const PictureFilter& used, bool atEnd,
                        AVFrame* frame);
  bool KeyPictureComesBy(double seconds, AVPacket& packet);

  std::string path_;
  InputPtr format_;
  const AVStream* videoStream_ = nullptr;
  const AVStream* audioStream_ = nullptr;
  CodecContextPtr video_;
  CodecContextPtr audio_;
  std::string audioNote_;
  double videoTick_ = 0;
  double clockCorrection_ = 1;
  std::string clockNote_;
  TimestampMender mender_{0};
  // Where in the file the mender's shift changed, and to what.
  struct ClockShift {
    int64_t position;
    double shift;
  };
  std::vector<ClockShift> shifts_;
  double jumpSeconds_ = 0;  // the mender's forward limit for this file
  std::optional<double> otherStreamsEnd_;  // where the packets of streams not converted reach
  bool decodesRoughly_ = false;
  int halvings_ = 0;
  bool intraOnly_ = false;  // every picture of the video stream decodes alone
  int64_t picturesRead_ = 0;
  int64_t picturesDecoded_ = 0;
  double unusedSeconds_ = 0;
  // Packets read but not yet decoded, in file order: a picture the frame rate
  // may drop waits until the pictures read after it tell how long it shows.
  struct WaitingPacket {
    PacketPtr packet;
    bool wholeFrames;  // judged once as it is read: a picture may wait through many reads
  };
  std::deque<WaitingPacket> waiting_;
  std::deque<int64_t> recentPts_;  // presentation stamps of the last pictures handed on
  int64_t damagedPictures_ = 0;
  int64_t damagedSound_ = 0;
  // Where the video stream's next picture is due, in decoding order, and the
  // time its stamps skipped over: pictures lost before they could be read.
  std::optional<double> nextPictureAt_;
  double missingPictureSeconds_ = 0;
  int64_t unreadableStretches_ = 0;  // failed reads that reading went on after
  // Pictures read whole, of those the ones handed on to be shown, and the
  // pictures that came out other than those left out as unused, whose
  // stamps wait here.
  int64_t wholePictures_ = 0;
  int64_t picturesHandedOn_ = 0;
  int64_t picturesShown_ = 0;
  std::deque<int64_t> skippedPts_;
  std::optional<int> readError_;  // why reading stopped before the end of the file
  std::optional<int64_t> lastSoundStamp_;  // as the sound packet before carried it
};
