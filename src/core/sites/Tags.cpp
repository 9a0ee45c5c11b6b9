#include "core/sites/Tags.h"

#include <array>

namespace cq {

namespace {

constexpr std::string_view kNames[] = {
#define CQ_TAG_NAME(name) #name,
    CQ_TAGS(CQ_TAG_NAME)
#undef CQ_TAG_NAME
};

constexpr char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Names of up to eight characters, upper-cased and packed into one word; name characters are
// never zero, so the word also tells the length.
constexpr std::size_t kPacked = 8;
constexpr std::size_t kSlots = 256;

constexpr std::uint64_t Pack(const char* chars, std::size_t length) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < length; ++i) {
    key |= std::uint64_t{static_cast<unsigned char>(Upper(chars[i]))} << (8 * i);
  }
  return key;
}

constexpr std::size_t Slot(std::uint64_t key) {
  return (key * 0x9E3779B97F4A7C15ull) >> 56;
}

// Open addressing over the names; tag 0 marks an empty slot.
struct TTable {
  std::array<std::uint64_t, kSlots> keys{};
  std::array<std::uint8_t, kSlots> tags{};

  constexpr TTable() {
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      if (kNames[i].size() > kPacked) continue;
      const std::uint64_t key = Pack(kNames[i].data(), kNames[i].size());
      std::size_t slot = Slot(key);
      while (tags[slot] != 0) slot = (slot + 1) % kSlots;
      keys[slot] = key;
      tags[slot] = static_cast<std::uint8_t>(i + 1);
    }
  }
};

constexpr TTable kTable;

static_assert(std::size(kNames) < kSlots / 2);

TTagName Named(std::size_t tag) {
  return {static_cast<TTag>(tag), kNames[tag - 1]};
}

}  // namespace

TTagName LookupTag(const char* chars, std::size_t length) {
  if (length == 0) return {TTag::Other, {}};
  if (length > kPacked) {
    constexpr auto kLong = static_cast<std::size_t>(TTag::BLOCKQUOTE);
    if (length != kNames[kLong - 1].size()) return {TTag::Other, {}};
    for (std::size_t i = 0; i < length; ++i) {
      if (Upper(chars[i]) != kNames[kLong - 1][i]) return {TTag::Other, {}};
    }
    return Named(kLong);
  }
  const std::uint64_t key = Pack(chars, length);
  for (std::size_t slot = Slot(key); kTable.tags[slot] != 0; slot = (slot + 1) % kSlots) {
    if (kTable.keys[slot] == key) return Named(kTable.tags[slot]);
  }
  return {TTag::Other, {}};
}

}  // namespace cq
