#pragma once

#include <cstddef>
#include <string_view>

namespace cq {

// What a melody file's first bytes say it is. Sites name their files as they like, and a player
// handed a playlist or a page called "x.mid" follows whatever that names; so only files whose
// bytes are one of these are played.
enum TFileSignature { fsUnknown, fsWav, fsMidi, fsMmf, fsMp3 };

// How many leading bytes SignatureOf needs.
inline constexpr std::size_t SignatureSize = 12;

// WAV: "RIFF", a size, "WAVE"; MIDI: "MThd"; MMF: "MMMD"; MP3: an ID3 tag or an MPEG audio frame
// header. `head` is the file's start, shorter only when the file is.
TFileSignature SignatureOf(std::string_view head);

}  // namespace cq
