#include <filesystem>
#include <string>

#include "core/platform/SoundCards.h"

namespace cq {

bool SoundCardPresent() {
  // ALSA names each playback device pcmC<card>D<device>p.
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("pcmC") && name.ends_with('p')) return true;
  }
  return false;
}

}  // namespace cq
