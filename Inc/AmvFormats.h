#pragma once

#include <array>

// The screens and picture rates of AMV players, the one list that the task
// editor, the encoder's argument line and the encoder itself are built from.
// A task's Resolution and FrameRate are indexes into these, in this order.

struct AmvFrameSize {
  int width;
  int height;
};

inline constexpr std::array<AmvFrameSize, 10> kAmvFrameSizes = {{{96, 64}, {128, 96}, {128, 128}, {160, 120},
                                                               {176, 128}, {176, 144}, {192, 160}, {208, 120},
                                                               {208, 160}, {208, 176}}};

inline constexpr std::array<int, 3> kAmvFrameRates = {10, 12, 16};
