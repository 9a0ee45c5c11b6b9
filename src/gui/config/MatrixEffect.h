#pragma once

#include <array>
#include <cstdint>

#include "gui/config/EffectRandom.h"

namespace cq {

// Falling green drops over a picture: the first credits picture of the About dialog. Pure state,
// no widgets, so it can be ticked by hand.
class TMatrixEffect {
 public:
  static constexpr int Width = 60;
  static constexpr int Height = 70;
  static constexpr int DropCount = 250;
  static constexpr int StartTries = 100;
  static constexpr int MinDropLength = 10;
  static constexpr int MaxDropLength = 50;

  enum TRamp { rampGreen, rampAmber };

  struct TDrop {
    int Col = 0;
    int First = 0;
    int Last = 0;  // 0: inactive
    int Progress = 0;
    bool Active() const { return Last != 0; }
  };

  using TPalette = std::array<std::uint32_t, 256>;  // 0xAARRGGBB
  using TMask = std::array<bool, Width * Height>;

  explicit TMatrixEffect(TEffectRandom& random) : random_(random) {}

  // Empties the grid, stops every drop and takes the cells to keep brighter.
  void Reset(const TMask& mask);
  // Moves every drop one row on, starts at most one new drop, fades the grid.
  void Tick();

  std::uint8_t Cell(int col, int row) const { return grid_[Index(col, row)]; }
  void SetCell(int col, int row, std::uint8_t value) { grid_[Index(col, row)] = value; }
  bool Masked(int col, int row) const { return mask_[Index(col, row)]; }
  const TDrop& Drop(int index) const { return drops_[static_cast<std::size_t>(index)]; }

  // Starts the first inactive drop at the given rows when the drop rules allow it.
  bool StartDropAt(int col, int first, int last);
  void Fill(std::uint8_t value);
  void StopDrops();

  bool Fast() const { return fast_; }
  void SetFast(bool fast) { fast_ = fast; }
  TRamp Ramp() const { return ramp_; }
  void SetRamp(TRamp ramp) { ramp_ = ramp; }

  static TPalette Palette(TRamp ramp);
  // The grid through the palette, row by row.
  std::array<std::uint32_t, Width * Height> Pixels() const;

 private:
  static std::size_t Index(int col, int row) { return static_cast<std::size_t>(row * Width + col); }
  bool Fits(int col, int first, int last) const;
  void Advance(TDrop& drop);
  void TryStart(TDrop& drop);
  void Fade();

  TEffectRandom& random_;
  std::array<std::uint8_t, Width * Height> grid_{};
  TMask mask_{};
  std::array<TDrop, DropCount> drops_{};
  bool fast_ = false;
  TRamp ramp_ = rampGreen;
};

}  // namespace cq
