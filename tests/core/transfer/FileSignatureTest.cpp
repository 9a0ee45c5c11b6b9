#include <gtest/gtest.h>

#include <string_view>

#include "core/transfer/FileSignature.h"

namespace cq {
namespace {

using namespace std::string_view_literals;

struct TSignatureCase {
  std::string_view head;
  TFileSignature signature;
};

constexpr TSignatureCase kCases[] = {
    {"RIFF\x24\0\0\0WAVEfmt "sv, fsWav},
    {"RIFF\x24\0\0\0AVI LIST"sv, fsUnknown},
    {"RIFF\x24\0\0\0WAV"sv, fsUnknown},
    {"MThd\0\0\0\x06\0\0"sv, fsMidi},
    {"mthd\0\0\0\x06"sv, fsUnknown},
    {"MMMD\0\0\x10\0"sv, fsMmf},
    {"ID3\x04\0\0"sv, fsMp3},
    {"\xFF\xFB\x90\x64"sv, fsMp3},      // MPEG 1 layer III, 128 kbit/s, 44.1 kHz
    {"\xFF\xF3\x48\xC4"sv, fsMp3},      // MPEG 2 layer III
    {"\xFF\xF1\x50\x80"sv, fsUnknown},  // AAC in ADTS: layer "00"
    {"\xFF\xEB\x90\x64"sv, fsUnknown},  // reserved MPEG version
    {"\xFF\xFB\xF0\x64"sv, fsUnknown},  // invalid bitrate
    {"\xFF\xFB\x9C\x64"sv, fsUnknown},  // reserved sampling rate
    {"\xFF\xFB"sv, fsUnknown},
    {"[playlist]\nFile1=file:///etc/passwd\n"sv, fsUnknown},
    {"#EXTM3U\nhttp://127.0.0.1:8080/x\n"sv, fsUnknown},
    {"<html><body>"sv, fsUnknown},
    {""sv, fsUnknown},
};

TEST(FileSignature, TellsTheFormatByTheFirstBytes) {
  for (const TSignatureCase& c : kCases)
    EXPECT_EQ(SignatureOf(c.head.substr(0, SignatureSize)), c.signature)
        << testing::PrintToString(std::string(c.head));
}

}  // namespace
}  // namespace cq
