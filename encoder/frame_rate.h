#pragma once

#include <cstdint>
#include <optional>

// Turns pictures with their own time stamps into a constant rate: output
// frame n stands at origin + n / fps and shows the last picture that began
// at or before that moment (to the nearest slot), so pictures are repeated
// when the input is slower and dropped when it is faster.
class FrameRateConverter {
 public:
  explicit FrameRateConverter(int fps) : fps_(fps) {}

  // Lets the output begin before the first picture (when the sound starts
  // earlier, say); the first picture then also fills the frames before it.
  void BeginNoLaterThan(double seconds) { earliest_ = seconds; }
  // Fixes the output's start at `seconds`, wherever the first picture
  // stands: earlier pictures only give way to later ones, and the last to
  // begin by then fills the first frame.
  void BeginAt(double seconds) { fixedOrigin_ = seconds; }

  // A picture starting at `seconds` arrives. Returns how many output frames
  // the previous picture fills (0 for the first picture, or when the
  // previous one is dropped).
  int64_t Arrive(double seconds);

  // The last picture lasts until `endSeconds`: how many frames it fills.
  // At least one frame is given when a picture arrived and none was filled.
  int64_t Finish(double endSeconds);

  // Whether a picture from `startSeconds` to `endSeconds` is sure to be
  // dropped, whatever arrives around it: no output frame stands within it,
  // with a margin for rounded time stamps. False before the first picture,
  // while the frames' times are not yet fixed.
  bool SurelyDropped(double startSeconds, double endSeconds) const;

  bool Started() const { return started_; }
  double OriginSeconds() const { return origin_; }

 private:
  int64_t SlotAt(double seconds) const;

  int fps_;
  std::optional<double> earliest_;
  std::optional<double> fixedOrigin_;
  bool started_ = false;
  double origin_ = 0;
  int64_t filled_ = 0;
};
