#pragma once

#include <random>

namespace cq {

// Where the About dialog's animations take their chance from; tests script it.
class TEffectRandom {
 public:
  virtual ~TEffectRandom() = default;
  // A whole number from 0 to n - 1; 0 when n is not positive.
  virtual int Below(int n) = 0;
  // A number in [0, 1).
  virtual double Unit() = 0;
};

class TSystemRandom final : public TEffectRandom {
 public:
  TSystemRandom() : engine_(std::random_device{}()) {}

  int Below(int n) override {
    if (n <= 0) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
  }
  double Unit() override { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

 private:
  std::mt19937 engine_;
};

}  // namespace cq
