#pragma once

namespace cq {

// The system's own driver offers a device to play sound on, whether or not a sound server runs
// (a server's device list alone misses a card played without one).
bool SoundCardPresent();

}  // namespace cq
