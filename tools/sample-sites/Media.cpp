#include "Media.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <stdexcept>

#include "core/transfer/FileText.h"

namespace cq::samples {

namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutBe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// MIDI variable-length quantity.
void PutVarLength(std::string& out, std::uint32_t value) {
  std::string bytes(1, static_cast<char>(value & 0x7F));
  while ((value >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
  out += bytes;
}

// A small generator, so that every tune gets its own notes and bytes.
struct TTuneRandom {
  std::uint32_t state;
  explicit TTuneRandom(int id) : state(static_cast<std::uint32_t>(id) * 2654435761u + 12345u) {}
  std::uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
};

constexpr int kSampleRate = 8000;
constexpr int kWavSamples = kSampleRate * 3 / 10;  // 0.3 seconds

}  // namespace

std::string MakeWav(int id) {
  const double low = 300.0 + (id * 37) % 600;
  const double high = low * 1.5;
  std::string out = "RIFF";
  PutLe(out, 36 + kWavSamples, 4);
  out += "WAVEfmt ";
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, kSampleRate, 4);
  PutLe(out, kSampleRate, 4);  // bytes per second
  PutLe(out, 1, 2);            // block align
  PutLe(out, 8, 2);            // bits per sample
  out += "data";
  PutLe(out, kWavSamples, 4);
  for (int i = 0; i < kWavSamples; ++i) {
    const double frequency = i < kWavSamples / 2 ? low : high;
    const double value = std::sin(2 * std::numbers::pi * frequency * i / kSampleRate);
    out += static_cast<char>(static_cast<std::uint8_t>(128 + std::lround(90 * value)));
  }
  return out;
}

std::string MakeMidi(int id, bool monophonic) {
  TTuneRandom random(id);
  std::string track;
  // Tempo 500000 µs per quarter note.
  track += std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7);
  const std::uint8_t program = monophonic ? 80 : static_cast<std::uint8_t>(random.Next() % 100);
  track += std::string("\x00\xC0", 2) + static_cast<char>(program);
  if (!monophonic) track += std::string("\x00\xC1\x30", 3);
  std::uint8_t note = static_cast<std::uint8_t>(60 + random.Next() % 12);
  for (int i = 0; i < 8; ++i) {
    note = static_cast<std::uint8_t>(55 + (note - 55 + random.Next() % 7) % 24);
    track += std::string("\x00\x90", 2) + static_cast<char>(note) + '\x64';
    if (!monophonic) track += std::string("\x00\x91", 2) + static_cast<char>(note - 12) + '\x50';
    PutVarLength(track, 48);
    track += std::string("\x80", 1) + static_cast<char>(note) + '\x40';
    if (!monophonic) track += std::string("\x00\x81", 2) + static_cast<char>(note - 12) + '\x40';
  }
  track += std::string("\x00\xFF\x2F\x00", 4);
  std::string out = "MThd";
  PutBe(out, 6, 4);
  PutBe(out, 0, 2);   // format 0
  PutBe(out, 1, 2);   // one track
  PutBe(out, 96, 2);  // ticks per quarter note
  out += "MTrk";
  PutBe(out, static_cast<std::uint32_t>(track.size()), 4);
  return out + track;
}

std::string MakeMmf(int id, bool vibration) {
  TTuneRandom random(id);
  std::string body = "CNTI";
  PutBe(body, 5, 4);
  body += std::string("\x00\x01\x01\x00", 4) + (vibration ? '\x01' : '\x00');
  body += "MTR";
  body += static_cast<char>(vibration ? 6 : 5);
  const int length = 96 + static_cast<int>(random.Next() % 64);
  PutBe(body, static_cast<std::uint32_t>(length), 4);
  for (int i = 0; i < length; ++i) body += static_cast<char>(random.Next() & 0xFF);
  std::string out = "MMMD";
  PutBe(out, static_cast<std::uint32_t>(body.size()), 4);
  return out + body;
}

TMedia TMedia::Load(const std::string& folder) {
  TMedia media;
  for (int n = 1;; ++n) {
    const std::string name = folder + "/chime-" + std::to_string(n) + ".mp3";
    if (!std::filesystem::exists(name)) break;
    media.mp3_.push_back(ReadFileText(name));
  }
  if (media.mp3_.empty()) throw std::runtime_error("no MP3 recordings in " + folder);
  return media;
}

std::string TMedia::File(int id, TFileKind kind) const {
  switch (kind) {
    case fkWav:
      return MakeWav(id);
    case fkMidi:
      return MakeMidi(id, false);
    case fkMonoMidi:
      return MakeMidi(id, true);
    case fkMmf:
      return MakeMmf(id, false);
    case fkVibMmf:
      return MakeMmf(id, true);
    case fkMp3:
      return mp3_[static_cast<std::size_t>(id - 1) % mp3_.size()];
  }
  return {};
}

const char* TMedia::ContentType(TFileKind kind) {
  switch (kind) {
    case fkWav:
      return "audio/wav";
    case fkMidi:
    case fkMonoMidi:
      return "audio/midi";
    case fkMmf:
    case fkVibMmf:
      return "application/vnd.smaf";
    case fkMp3:
      return "audio/mpeg";
  }
  return "application/octet-stream";
}

}  // namespace cq::samples
