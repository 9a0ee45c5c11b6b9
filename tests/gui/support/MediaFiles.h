#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cmath>

namespace cq::test {

// Small media files for playback tests, made in code.

// One second of a 440 Hz tone: 8 kHz, 8-bit mono PCM.
inline QByteArray ToneWav(int milliseconds = 1000) {
  const int samples = 8 * milliseconds;
  QByteArray wav;
  const auto u32 = [&wav](quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    wav.append(b, 4);
  };
  const auto u16 = [&wav](quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    wav.append(b, 2);
  };
  wav.append("RIFF");
  u32(static_cast<quint32>(36 + samples));
  wav.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(8000);
  u32(8000);
  u16(1);
  u16(8);
  wav.append("data");
  u32(static_cast<quint32>(samples));
  for (int i = 0; i < samples; ++i)
    wav.append(static_cast<char>(128 + std::lround(60 * std::sin(i * 2 * M_PI * 440 / 8000))));
  return wav;
}

// One note held for a second: format 0, 96 ticks per quarter at 120 beats per minute.
inline QByteArray OneNoteMidi() {
  const QByteArray events = QByteArray::fromHex(
      "00c000"      // program 0
      "00903c64"    // note on, middle C
      "8140803c40"  // 192 ticks later: note off
      "00ff2f00");  // end of track
  QByteArray midi = QByteArray::fromHex("4d546864000000060000000100604d54726b");
  char length[4];
  qToBigEndian(static_cast<quint32>(events.size()), length);
  midi.append(length, 4);
  midi.append(events);
  return midi;
}

}  // namespace cq::test
