#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gui/config/EffectRandom.h"

namespace cq {

// The classic fire: a hot base row whose heat climbs, drifts and cools through a byte buffer.
// The second credits picture of the About dialog shows its middle. Pure state, no widgets.
class TFireEffect {
 public:
  static constexpr int BufferWidth = 320;
  static constexpr int BufferHeight = 200;
  static constexpr int BaseLeft = 90;
  static constexpr int BaseRight = 210;
  static constexpr int BaseCount = BaseRight - BaseLeft + 1;
  static constexpr int TopRow = 100;
  static constexpr int BottomRow = BufferHeight - 1;
  static constexpr int PictureSize = 70;
  static constexpr int Resting = -1;  // no mouse button held on the picture

  using TPalette = std::array<std::uint32_t, 256>;  // 0xAARRGGBB

  explicit TFireEffect(TEffectRandom& random);

  // Cold buffer and base, bias 1, the palette rebuilt.
  void Reset();
  void Tick();

  std::uint8_t At(int x, int y) const { return buffer_[Index(x, y)]; }
  void Set(int x, int y, std::uint8_t value) { buffer_[Index(x, y)] = value; }
  int Base(int column) const { return base_[BaseSlot(column)]; }
  void SetBase(int column, int value) { base_[BaseSlot(column)] = value; }

  int Bias() const { return bias_; }
  void SetBias(int bias) { bias_ = bias; }
  // Heat n² + 3 with n = (70 - y) / 7 + 1 for a button held at picture row y; 3 at rest.
  void SetHeatRow(int pictureRow);
  int Heat() const { return heat_; }
  // Five base cells from `column` on flare to full heat.
  void Flare(int column);

  const TPalette& Palette() const { return palette_; }
  void BuildPalette();
  // Page Up / Page Down: every entry's red, green and blue move one place along.
  void RotateChannels(bool forward);
  // Insert: one random pair of channels exchanged in every entry.
  void ExchangeChannels();
  // Delete: every entry exchanges its own random pair.
  void ScrambleChannels();

 private:
  static std::size_t Index(int x, int y) { return static_cast<std::size_t>(y * BufferWidth + x); }
  static std::size_t BaseSlot(int column) { return static_cast<std::size_t>(column - BaseLeft); }
  void Rise();
  void StirBase();
  void CoolEnds();
  void SmoothBase();
  void Sputter();

  TEffectRandom& random_;
  std::vector<std::uint8_t> buffer_;
  std::array<int, BaseCount> base_{};
  int bias_ = 1;
  int heat_ = 3;
  TPalette palette_{};
};

}  // namespace cq
