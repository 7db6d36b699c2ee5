#pragma once

// How the encoder ends, as the batch tells its tasks apart.
inline constexpr int kEncoderConverted = 0;
inline constexpr int kEncoderFailed = 1;
// The source is cut short: what could be read is a complete, playable file.
inline constexpr int kEncoderPartlyConverted = 2;
