#include "encoder/quality.h"

#include <algorithm>

namespace {

constexpr int kFinestRangeSum = 3 + 4;
constexpr int kStrengthPerStep = 2000;

}  // namespace

int NoiseReductionFor(int qmin, int qmax) {
  return std::max(0, (qmin + qmax - kFinestRangeSum) * kStrengthPerStep);
}

double QuantiserShown(int qmin, int qmax) { return (qmin + qmax) / 2.0; }
