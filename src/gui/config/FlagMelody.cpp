#include "gui/config/FlagMelody.h"

#include <cstdint>

namespace cq {

namespace {

constexpr int TicksPerQuarter = 96;
constexpr int Tempo = 500000;  // microseconds per quarter: 120 beats a minute
constexpr int Bells = 14;      // General MIDI "Tubular Bells"
constexpr int Velocity = 96;

struct TNote {
  int Pitch;   // MIDI note number
  int Length;  // in eighths
};

// A little bell tune in C major.
constexpr TNote Tune[] = {
    {72, 2}, {76, 2}, {79, 2}, {76, 2}, {77, 1}, {76, 1}, {74, 2}, {72, 4},
    {74, 2}, {77, 2}, {81, 2}, {79, 1}, {77, 1}, {76, 2}, {74, 2}, {72, 4},
};

void Put16(std::string& out, int value) {
  out += static_cast<char>(value >> 8 & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(value >> shift & 0xFF);
}

void PutVarLength(std::string& out, std::uint32_t value) {
  char bytes[5];
  int count = 0;
  do {
    bytes[count++] = static_cast<char>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1) out += static_cast<char>(bytes[--count] | 0x80);
  out += bytes[0];
}

void PutEvent(std::string& out, std::uint32_t delta, std::initializer_list<int> bytes) {
  PutVarLength(out, delta);
  for (int byte : bytes) out += static_cast<char>(byte);
}

std::string Track() {
  std::string track;
  PutEvent(track, 0, {0xFF, 0x51, 0x03, Tempo >> 16, Tempo >> 8 & 0xFF, Tempo & 0xFF});
  PutEvent(track, 0, {0xC0, Bells});
  for (const TNote& note : Tune) {
    PutEvent(track, 0, {0x90, note.Pitch, Velocity});
    PutEvent(track, static_cast<std::uint32_t>(note.Length * TicksPerQuarter / 2),
             {0x80, note.Pitch, 0});
  }
  PutEvent(track, TicksPerQuarter, {0xFF, 0x2F, 0x00});
  return track;
}

}  // namespace

std::string FlagMelody() {
  std::string file = "MThd";
  Put32(file, 6);
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, TicksPerQuarter);
  const std::string track = Track();
  file += "MTrk";
  Put32(file, static_cast<std::uint32_t>(track.size()));
  return file + track;
}

}  // namespace cq
