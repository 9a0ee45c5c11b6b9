#include "core/sites/Tags.h"

#include <array>

namespace cq {

namespace {

constexpr std::string_view kNames[] = {
#define CQ_TAG_NAME(name) #name,
    CQ_TAGS(CQ_TAG_NAME)
#undef CQ_TAG_NAME
};

constexpr std::size_t kLongest = 10;
constexpr std::size_t kSlots = 512;

constexpr char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

constexpr std::uint32_t Hash(const char* upper, std::size_t length) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < length; ++i) {
    hash = (hash ^ static_cast<unsigned char>(upper[i])) * 16777619u;
  }
  return hash;
}

// Open addressing over the table above; slot value 0 is empty, otherwise the tag number.
struct TTable {
  std::array<std::uint8_t, kSlots> slots{};

  constexpr TTable() {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      std::size_t slot = Hash(kNames[i].data(), kNames[i].size()) % kSlots;
      while (slots[slot] != 0) slot = (slot + 1) % kSlots;
      slots[slot] = static_cast<std::uint8_t>(i + 1);
    }
  }
};

constexpr TTable kTable;

static_assert(std::size(kNames) < 255);

}  // namespace

TTagName LookupTag(const char* chars, std::size_t length) {
  if (length == 0 || length > kLongest) return {TTag::Other, {}};
  char upper[kLongest];
  for (std::size_t i = 0; i < length; ++i) upper[i] = Upper(chars[i]);
  const std::string_view key(upper, length);
  std::size_t slot = Hash(upper, length) % kSlots;
  while (kTable.slots[slot] != 0) {
    const std::size_t index = kTable.slots[slot] - 1u;
    if (kNames[index] == key) return {static_cast<TTag>(index + 1), kNames[index]};
    slot = (slot + 1) % kSlots;
  }
  return {TTag::Other, {}};
}

}  // namespace cq
