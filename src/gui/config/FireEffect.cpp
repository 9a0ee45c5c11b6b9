#include "gui/config/FireEffect.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cq {

namespace {

constexpr int FlareWidth = 5;
constexpr int FlareChance = 150;
constexpr int FlareStarts = 115;  // columns 90 to 204
constexpr int SputterChance = 50;
constexpr int CoolingSpots = 15;

int Channel(std::uint32_t colour, int shift) {
  return static_cast<int>(colour >> shift & 0xFF);
}

std::uint32_t Rgb(int red, int green, int blue) {
  return 0xFF000000u | static_cast<std::uint32_t>(red) << 16 |
         static_cast<std::uint32_t>(green) << 8 | static_cast<std::uint32_t>(blue);
}

// Hue, lightness and saturation in [0, 1].
std::uint32_t FromHsl(double hue, double lightness, double saturation) {
  const double chroma = (1.0 - std::abs(2.0 * lightness - 1.0)) * saturation;
  const double sector = hue * 6.0;
  const double x = chroma * (1.0 - std::abs(std::fmod(sector, 2.0) - 1.0));
  double r = 0, g = 0, b = 0;
  if (sector < 1) {
    r = chroma, g = x;
  } else if (sector < 2) {
    r = x, g = chroma;
  } else {
    g = chroma, b = x;
  }
  const double m = lightness - chroma / 2.0;
  const auto scale = [m](double v) { return static_cast<int>(std::lround((v + m) * 255.0)); };
  return Rgb(scale(r), scale(g), scale(b));
}

std::uint32_t Exchange(std::uint32_t colour, int pair) {
  int r = Channel(colour, 16), g = Channel(colour, 8), b = Channel(colour, 0);
  if (pair == 0) std::swap(r, g);
  if (pair == 1) std::swap(g, b);
  if (pair == 2) std::swap(r, b);
  return Rgb(r, g, b);
}

}  // namespace

TFireEffect::TFireEffect(TEffectRandom& random)
    : random_(random), buffer_(static_cast<std::size_t>(BufferWidth * BufferHeight), 0) {
  BuildPalette();
}

void TFireEffect::Reset() {
  std::fill(buffer_.begin(), buffer_.end(), std::uint8_t{0});
  base_.fill(0);
  bias_ = 1;
  heat_ = 3;
  BuildPalette();
}

void TFireEffect::Tick() {
  for (int column = BaseLeft; column <= BaseRight; ++column) {
    Set(column, BottomRow, static_cast<std::uint8_t>(Base(column)));
  }
  Rise();
  if (random_.Below(FlareChance) == 0) Flare(BaseLeft + random_.Below(FlareStarts));
  StirBase();
  CoolEnds();
  SmoothBase();
  Sputter();
}

// Every hot cell passes its heat, a little cooler, to one of the three cells above it.
void TFireEffect::Rise() {
  for (int x = BaseLeft; x <= BaseRight; ++x) {
    for (int y = TopRow; y <= BottomRow; ++y) {
      const int value = At(x, y);
      if (value < 10 || x == BaseLeft || x == BaseRight) {
        Set(x, y - 1, 0);
        continue;
      }
      const int target = x + random_.Below(3) - 1;
      Set(target, y - 1, static_cast<std::uint8_t>(value - random_.Below(10)));
    }
  }
}

void TFireEffect::StirBase() {
  for (int& cell : base_) {
    if (cell >= 50) {
      cell += random_.Below(41) - 20 + bias_;
    } else if (cell >= 11) {
      cell += random_.Below(heat_);
    }
    cell = std::clamp(cell, 0, 255);
  }
}

// Squaring the chance gathers the cold spots at both ends of the base.
void TFireEffect::CoolEnds() {
  for (int i = 0; i < CoolingSpots; ++i) {
    const double r = random_.Unit();
    const auto k = static_cast<std::size_t>(15.0 * r * r);
    base_[k] = 0;
    base_[BaseCount - 1 - k] = 0;
  }
}

void TFireEffect::SmoothBase() {
  for (std::size_t i = 1; i + 1 < base_.size(); ++i) {
    base_[i] = (base_[i - 1] + base_[i] + base_[i + 1]) / 3;
  }
}

void TFireEffect::Sputter() {
  if (random_.Below(SputterChance) == 0) {
    for (int i = 0; i < 10; ++i) base_[static_cast<std::size_t>(random_.Below(BaseCount))] = 0;
  }
  int& cell = base_[static_cast<std::size_t>(random_.Below(BaseCount))];
  if (cell > 200) cell = random_.Below(200);
}

void TFireEffect::SetHeatRow(int pictureRow) {
  const int n = pictureRow == Resting ? 0 : (PictureSize - pictureRow) / 7 + 1;
  heat_ = n * n + 3;
}

void TFireEffect::Flare(int column) {
  for (int c = column; c < column + FlareWidth && c <= BaseRight; ++c) {
    if (c >= BaseLeft) SetBase(c, 255);
  }
}

// Black through red and orange to yellow and white.
void TFireEffect::BuildPalette() {
  for (int i = 0; i < 256; ++i) {
    const double level = i / 255.0;
    const double hue = std::min(level, 0.5) / 0.5 * (60.0 / 360.0);
    const double lightness = std::min(1.0, level * 1.1);
    palette_[static_cast<std::size_t>(i)] = FromHsl(std::min(hue, 0.1666), lightness, 1.0);
  }
}

void TFireEffect::RotateChannels(bool forward) {
  for (std::uint32_t& colour : palette_) {
    const int r = Channel(colour, 16), g = Channel(colour, 8), b = Channel(colour, 0);
    colour = forward ? Rgb(g, b, r) : Rgb(b, r, g);
  }
}

void TFireEffect::ExchangeChannels() {
  const int pair = random_.Below(3);
  for (std::uint32_t& colour : palette_) colour = Exchange(colour, pair);
}

void TFireEffect::ScrambleChannels() {
  for (std::uint32_t& colour : palette_) colour = Exchange(colour, random_.Below(3));
}

}  // namespace cq
