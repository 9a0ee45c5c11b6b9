#include <gtest/gtest.h>

#include <string>

#include "core/transfer/Md5.h"

namespace cq {
namespace {

struct Vector {
  const char* input;
  const char* digest;
};

// The test suite of RFC 1321, appendix A.5.
constexpr Vector kRfcVectors[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(Md5, MatchesTheRfcVectors) {
  for (const Vector& vector : kRfcVectors) {
    EXPECT_EQ(MD5String(vector.input), vector.digest) << '"' << vector.input << '"';
  }
}

TEST(Md5, PiecesFedSeparatelyGiveTheSameDigest) {
  // Piece sizes that cross the 64-byte block and the 56-byte padding boundary in every way.
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>('A' + i % 57);
  for (std::size_t split : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 299u}) {
    TMd5 whole;
    whole.Update(text);
    TMd5 pieces;
    pieces.Update(std::string_view(text).substr(0, split));
    pieces.Update(std::string_view(text).substr(split));
    EXPECT_EQ(whole.Final(), pieces.Final()) << "split at " << split;
  }
}

}  // namespace
}  // namespace cq
