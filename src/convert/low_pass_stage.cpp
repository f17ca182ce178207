#include "convert/low_pass_stage.h"

#include <cmath>

namespace zel5 {
namespace {

constexpr double kPi = 3.141592653589793;

}  // namespace

LowPassStage::~LowPassStage() {
  if (designed()) {
    nspIirFree(&leftState_);
    nspIirFree(&rightState_);
  }
}

void LowPassStage::SetFormat(const WAVEFORMATEX* format) {
  FilterNode::SetFormat(format);
  const double fs = static_cast<double>(rate());
  const double t = std::tan(kPi * static_cast<double>(cutoff_) / fs);
  const double k = 1.0 / t;
  const double sqrt2 = std::sqrt(2.0);
  const double d = k * (sqrt2 + k) + 1.0;
  const double b0 = 1.0 / d;
  const double b1 = 2.0 / d;
  const double a1 = 2.0 * (1.0 - k * k) / d;
  const double a2 = (k * k + (1.0 - sqrt2 * k)) / d;
  coefficients_ = {b0, b1, b0, 1.0, a1, a2};

  if (designed()) {
    nspIirFree(&leftState_);
    nspIirFree(&rightState_);
    leftState_.initMark = 0;
    rightState_.initMark = 0;
  }
  nspdIirInit(1, coefficients_.data(), 2, &leftState_);
  nspdIirInit(1, coefficients_.data(), 2, &rightState_);
}

int LowPassStage::Filter(SampleBlock block) {
  const int count = static_cast<int>(block.count);
  nspdbIir(&leftState_, block.left, block.left, count);
  if (block.right != nullptr) {
    nspdbIir(&rightState_, block.right, block.right, count);
  }
  return 1;
}

}  // namespace zel5
