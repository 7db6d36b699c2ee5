#pragma once

#include <cstdint>
#include <span>
#include <vector>

// IMA ADPCM as AMV players read it: every chunk starts with an 8-byte header
// (the first sample as the predictor, the step index, a zero byte, the
// sample count) followed by one 4-bit code per sample, high nibble first.
// The step index carries over from chunk to chunk.
class AdpcmEncoder {
 public:
  // Appends one chunk holding `samples` to `out`.
  void EncodeChunk(std::span<const int16_t> samples, std::vector<uint8_t>& out);

 private:
  int EncodeSample(int sample);

  int predictor_ = 0;
  int stepIndex_ = 0;
};
