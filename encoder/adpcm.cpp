#include "encoder/adpcm.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 16> kIndexChange = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

constexpr std::array<int, 89> kStepSize = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

// Picks the code whose reconstruction lies nearest, then follows exactly the
// arithmetic a decoder uses, so encoder and player never drift apart.
int AdpcmEncoder::EncodeSample(int sample) {
  const int step = kStepSize[stepIndex_];
  int difference = sample - predictor_;
  int code = 0;
  if (difference < 0) {
    code = 8;
    difference = -difference;
  }
  const int magnitude = std::min(7, difference * 4 / step);
  code |= magnitude;
  const int delta = ((2 * magnitude + 1) * step) >> 3;
  predictor_ = std::clamp(code & 8 ? predictor_ - delta : predictor_ + delta, -32768, 32767);
  stepIndex_ = std::clamp(stepIndex_ + kIndexChange[code], 0, 88);
  return code;
}

void AdpcmEncoder::EncodeChunk(std::span<const int16_t> samples, std::vector<uint8_t>& out) {
  predictor_ = samples.empty() ? 0 : samples[0];
  out.reserve(out.size() + 8 + (samples.size() + 1) / 2);
  PutLittleEndian(out, static_cast<uint16_t>(predictor_), 2);
  out.push_back(static_cast<uint8_t>(stepIndex_));
  out.push_back(0);
  PutLittleEndian(out, static_cast<uint32_t>(samples.size()), 4);
  for (size_t i = 0; i < samples.size(); i += 2) {
    const int high = EncodeSample(samples[i]);
    const int low = i + 1 < samples.size() ? EncodeSample(samples[i + 1]) : 0;
    out.push_back(static_cast<uint8_t>(high << 4 | low));
  }
}
