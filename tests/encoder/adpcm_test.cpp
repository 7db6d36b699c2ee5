#include "encoder/adpcm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "encoder/ffmpeg_handles.h"

namespace {

constexpr int kChunkSamples = 1378;  // one frame's sound at 16 fps

// The chunk as a player hears it: decoded by FFmpeg's AMV sound decoder.
std::vector<int16_t> Decode(const std::vector<uint8_t>& chunk) {
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_ADPCM_IMA_AMV);
  CodecContextPtr context(avcodec_alloc_context3(codec));
  context->sample_rate = 22050;
  context->ch_layout = AV_CHANNEL_LAYOUT_MONO;
  PacketPtr packet(av_packet_alloc());
  FramePtr frame(av_frame_alloc());
  std::vector<int16_t> samples;
  if (avcodec_open2(context.get(), codec, nullptr) < 0 || av_new_packet(packet.get(), int(chunk.size())) < 0)
    return samples;
  std::memcpy(packet->data, chunk.data(), chunk.size());
  if (avcodec_send_packet(context.get(), packet.get()) < 0) return samples;
  while (avcodec_receive_frame(context.get(), frame.get()) == 0) {
    const auto* data = reinterpret_cast<const int16_t*>(frame->data[0]);
    samples.insert(samples.end(), data, data + frame->nb_samples);
  }
  return samples;
}

}  // namespace

// The encoder chooses each code from where the player stands, so every
// code's sign bit says whether its sample lies below the sample the player
// reconstructed just before it. Any step the encoder reckons differently from
// a decoder (a rounding, a clamp, the step index) leaves it tracking a value
// the player never had, and some later sign disagrees. Noise and tones from a
// whisper to full scale walk the step index over its whole range; each chunk
// ends in a whisper, where even a drift of one shows in the signs.
TEST(AdpcmEncoder, EveryCodeStepsFromWhatThePlayerReconstructed) {
  AdpcmEncoder encoder;
  std::mt19937 random(15);
  std::uniform_int_distribution<int> whisper(-3, 3);
  int chunks = 0;
  for (const int level : {16, 90, 500, 2800, 16000, 32767}) {
    for (const bool tone : {false, true}) {
      std::uniform_int_distribution<int> noise(-level, level);
      for (int repeat = 0; repeat < 4; ++repeat, ++chunks) {
        std::vector<int16_t> samples(kChunkSamples);
        for (int i = 0; i < kChunkSamples; ++i) {
          const double wave = level * std::sin(i * (0.01 + 0.02 * repeat));
          samples[i] = static_cast<int16_t>(tone ? std::lround(std::clamp(wave, -32768.0, 32767.0)) : noise(random));
          if (i >= kChunkSamples - 400) samples[i] = static_cast<int16_t>(whisper(random));
        }
        std::vector<uint8_t> chunk;
        encoder.EncodeChunk(samples, chunk);
        const std::vector<int16_t> decoded = Decode(chunk);
        ASSERT_EQ(decoded.size(), samples.size()) << "chunk " << chunks;
        int reconstructed = static_cast<int16_t>(chunk[0] | chunk[1] << 8);
        int disagreements = 0;
        for (int i = 0; i < kChunkSamples; ++i) {
          const int code = chunk[8 + i / 2] >> (i % 2 ? 0 : 4) & 15;
          disagreements += ((code & 8) != 0) != (samples[i] < reconstructed);
          reconstructed = decoded[i];
        }
        EXPECT_EQ(disagreements, 0) << "level " << level << (tone ? " tone" : " noise");
      }
    }
  }
}
