#pragma once

#include <string>
#include <vector>

#include "Catalogue.h"

namespace cq::samples {

// The melody files: WAV, standard MIDI and SMAF made from the tune's number (short, and different
// for every tune), MP3 taken from a few small recordings kept with the tool.
class TMedia {
 public:
  // Reads the MP3 recordings chime-1.mp3, chime-2.mp3 … from `folder`.
  static TMedia Load(const std::string& folder);

  // The file of `kind` for tune `id`, and its MIME type.
  std::string File(int id, TFileKind kind) const;
  static const char* ContentType(TFileKind kind);

 private:
  std::vector<std::string> mp3_;
};

std::string MakeWav(int id);
std::string MakeMidi(int id, bool monophonic);
std::string MakeMmf(int id, bool vibration);

}  // namespace cq::samples
