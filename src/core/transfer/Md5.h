#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace cq {

// MD5 message digest (RFC 1321): initialise, feed any number of pieces, finalise once.
class TMd5 {
 public:
  using Digest = std::array<std::uint8_t, 16>;

  TMd5();
  void Update(std::string_view data);
  Digest Final();

 private:
  void Transform(const std::uint8_t* block);

  std::array<std::uint32_t, 4> state_;
  std::uint64_t bitCount_ = 0;
  std::array<std::uint8_t, 64> buffer_{};
};

// The digest of `text` as 32 lower-case hexadecimal digits.
std::string MD5String(std::string_view text);

}  // namespace cq
