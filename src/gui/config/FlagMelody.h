#pragma once

#include <string>

namespace cq {

// The tune the flag plays: a standard MIDI file (format 0, one track) of our own.
std::string FlagMelody();

}  // namespace cq
