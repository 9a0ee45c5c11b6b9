#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "gui/config/EffectRandom.h"

namespace cq::test {

// Hands out the values a test lined up, and records what was asked, so a test sees both the
// numbers drawn and the ranges they were drawn from. Past the script it gives the fallback, or
// counts an underflow when there is none.
class TScriptedRandom final : public TEffectRandom {
 public:
  std::deque<int> Whole;
  std::deque<double> Fractions;
  std::optional<int> FallbackWhole;
  std::vector<int> Ranges;  // the n of every Below(n)
  int Underflows = 0;
  int OutOfRange = 0;

  void Queue(std::initializer_list<int> values) { Whole.insert(Whole.end(), values); }
  void QueueRepeated(int value, std::size_t count) { Whole.insert(Whole.end(), count, value); }

  int Below(int n) override {
    Ranges.push_back(n);
    int value = 0;
    if (!Whole.empty()) {
      value = Whole.front();
      Whole.pop_front();
    } else if (FallbackWhole) {
      value = *FallbackWhole;
    } else {
      ++Underflows;
    }
    if (value < 0 || value >= n) ++OutOfRange;
    return value;
  }

  double Unit() override {
    if (Fractions.empty()) {
      ++Underflows;
      return 0.0;
    }
    const double value = Fractions.front();
    Fractions.pop_front();
    return value;
  }
};

}  // namespace cq::test
