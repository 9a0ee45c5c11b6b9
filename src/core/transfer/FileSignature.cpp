#include "core/transfer/FileSignature.h"

namespace cq {

namespace {

// Eleven sync bits, then MPEG version, layer, bitrate and sampling rate, none of them the
// reserved or invalid value. Layer "00" is reserved for MPEG audio (ADTS uses it, and is no MP3).
bool IsMpegAudioFrame(std::string_view head) {
  if (head.size() < 3) return false;
  const auto b1 = static_cast<unsigned char>(head[1]);
  const auto b2 = static_cast<unsigned char>(head[2]);
  const bool sync = static_cast<unsigned char>(head[0]) == 0xFF && (b1 & 0xE0) == 0xE0;
  const bool version = (b1 >> 3 & 3) != 1;
  const bool layer = (b1 >> 1 & 3) != 0;
  const bool bitrate = (b2 >> 4) != 0xF;
  const bool rate = (b2 >> 2 & 3) != 3;
  return sync && version && layer && bitrate && rate;
}

}  // namespace

TFileSignature SignatureOf(std::string_view head) {
  if (head.starts_with("RIFF") && head.size() >= 12 && head.substr(8, 4) == "WAVE") return fsWav;
  if (head.starts_with("MThd")) return fsMidi;
  if (head.starts_with("MMMD")) return fsMmf;
  if (head.starts_with("ID3") || IsMpegAudioFrame(head)) return fsMp3;
  return fsUnknown;
}

}  // namespace cq
