#include "gui/config/MatrixEffect.h"

#include <algorithm>

namespace cq {

namespace {

std::uint32_t Rgb(int red, int green, int blue) {
  return 0xFF000000u | static_cast<std::uint32_t>(red) << 16 |
         static_cast<std::uint32_t>(green) << 8 | static_cast<std::uint32_t>(blue);
}

}  // namespace

void TMatrixEffect::Reset(const TMask& mask) {
  mask_ = mask;
  grid_.fill(0);
  StopDrops();
}

void TMatrixEffect::Tick() {
  bool startTried = false;
  for (TDrop& drop : drops_) {
    if (drop.Active()) {
      Advance(drop);
    } else if (!startTried) {
      startTried = true;
      TryStart(drop);
    }
  }
  Fade();
}

void TMatrixEffect::Advance(TDrop& drop) {
  ++drop.Progress;
  const int row = drop.First + drop.Progress;
  if (row > drop.Last) {
    drop.Last = 0;
    return;
  }
  // Drops light the picture's cells a little brighter than the rest.
  const int value = Masked(drop.Col, row) ? 255 - random_.Below(128) : 240 - random_.Below(128);
  SetCell(drop.Col, row, static_cast<std::uint8_t>(value));
}

void TMatrixEffect::TryStart(TDrop& drop) {
  for (int attempt = 0; attempt < StartTries; ++attempt) {
    const int col = random_.Below(Width);
    const int first = random_.Below(Height);
    const int last = random_.Below(Height);
    if (Fits(col, first, last)) {
      drop = {col, first, last, 0};
      return;
    }
  }
}

bool TMatrixEffect::Fits(int col, int first, int last) const {
  const int length = last - first;
  if (length < MinDropLength || length > MaxDropLength) return false;
  if (col < 0 || col >= Width || first < 0 || last >= Height) return false;
  for (const TDrop& other : drops_) {
    if (other.Active() && other.Col == col && other.First <= last && first <= other.Last) {
      return false;
    }
  }
  for (int row = first; row <= last; ++row) {
    if (Cell(col, row) != 0) return false;
  }
  return true;
}

void TMatrixEffect::Fade() {
  for (std::size_t i = 0; i < grid_.size(); ++i) {
    int amount = random_.Below(10);
    if (fast_) amount *= 3;
    if (mask_[i]) amount /= 3;
    grid_[i] = static_cast<std::uint8_t>(std::max(0, grid_[i] - amount));
  }
}

bool TMatrixEffect::StartDropAt(int col, int first, int last) {
  if (!Fits(col, first, last)) return false;
  for (TDrop& drop : drops_) {
    if (!drop.Active()) {
      drop = {col, first, last, 0};
      return true;
    }
  }
  return false;
}

void TMatrixEffect::Fill(std::uint8_t value) {
  grid_.fill(value);
}

void TMatrixEffect::StopDrops() {
  drops_.fill(TDrop{});
}

TMatrixEffect::TPalette TMatrixEffect::Palette(TRamp ramp) {
  TPalette palette{};
  for (int i = 0; i < 256; ++i) {
    const int main = i < 128 ? 2 * i : 255;
    const int glow = i < 128 ? 0 : i - 128;
    palette[static_cast<std::size_t>(i)] =
        ramp == rampGreen ? Rgb(glow, main, glow) : Rgb(main, main * 3 / 4, glow);
  }
  return palette;
}

std::array<std::uint32_t, TMatrixEffect::Width * TMatrixEffect::Height> TMatrixEffect::Pixels()
    const {
  const TPalette palette = Palette(ramp_);
  std::array<std::uint32_t, Width * Height> pixels{};
  for (std::size_t i = 0; i < grid_.size(); ++i) pixels[i] = palette[grid_[i]];
  return pixels;
}

}  // namespace cq
