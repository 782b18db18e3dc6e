#include "binding/pe_image.h"

#include <string.h>

#include <tuple>
#include <vector>

#include "util/bytes.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

// The PE header of a 32-bit DLL of two sections (or `sections`), their
// bytes from 0x400 to 0x800 (0x400 + 0x200 * sections) of its file.
std::vector<unsigned char> dllHeader(uint16_t characteristics = 0x2102,
                                     uint16_t magic = 0x010B,
                                     uint16_t sections = 2) {
  std::vector<unsigned char> header(24 + 224 + sections * 40u);
  memcpy(header.data(), "PE\0\0", 4);
  writeU16(&header[4], kMachineI386);
  writeU16(&header[6], sections);
  writeU16(&header[20], 224);
  writeU16(&header[22], characteristics);
  writeU16(&header[24], magic);
  for (uint32_t i = 0; i < sections; ++i) {
    writeU32(&header[24 + 224 + 40 * i + 16], 0x200);
    writeU32(&header[24 + 224 + 40 * i + 20], 0x400 + 0x200 * i);
  }
  return header;
}

TEST(PeImageTest, OnlyASoundImageForAnotherMachineIsPassedOver) {
  unsigned char dos[64] = {'M', 'Z'};
  dos[0x3C] = 0x80;
  EXPECT_EQ(peHeaderOffset(dos, sizeof dos), 0x80u);
  EXPECT_EQ(peHeaderOffset(dos, 63), 0u) << "truncated";
  dos[1] = 'X';
  EXPECT_EQ(peHeaderOffset(dos, sizeof dos), 0u) << "no MZ";

  // Signature and Machine (little-endian), the size read, the verdict.
  using K = ImageKind;
  const std::tuple<const char*, size_t, K> cases[] = {
      {"PE\0\0\x64\x86", 6, K::kOtherMachine},
      {"PE\0\0\x64\xAA", 6, K::kOtherMachine},
      {"PE\0\0\x4C\x01", 6, K::kNoImage},
      {"PE\0\0\0\0", 6, K::kNoImage},
      {"PE\0\0\x34\x12", 6, K::kNoImage},
      {"PE\0\0\x64\x86", 5, K::kNoImage},
      {"PF\0\0\x64\x86", 6, K::kNoImage}};
  for (const auto& [header, size, kind] : cases) {
    EXPECT_EQ(classifyImage(reinterpret_cast<const unsigned char*>(header),
                            size, 0x800, kMachineI386),
              kind)
        << header[4] + 0 << " " << size;
  }
  EXPECT_EQ(
      classifyImage(reinterpret_cast<const unsigned char*>("PE\0\0\x64\x86"), 6,
                    0x800, kMachineAmd64),
      K::kNoImage);
}

// A whole DLL for this machine that won't load is not called damaged: a DLL
// it needs is at fault. Cut short, an EXE, or a 64-bit optional header, it
// is no image Windows would load.
TEST(PeImageTest, AWholeDllForThisMachineIsTold) {
  using K = ImageKind;
  const std::tuple<std::vector<unsigned char>, uint64_t, K> cases[] = {
      {dllHeader(), 0x800, K::kOwnMachineDll},
      {dllHeader(), 0x7FF, K::kNoImage},
      {dllHeader(), 1000, K::kNoImage},
      {dllHeader(0x0102), 0x800, K::kNoImage},
      {dllHeader(0x2102, 0x020B), 0x800, K::kNoImage},
      {dllHeader(0x2102, 0x010B, 96), 0x400 + 0x200 * 96, K::kOwnMachineDll},
  };
  for (const auto& [header, fileSize, kind] : cases) {
    EXPECT_EQ(
        classifyImage(header.data(), header.size(), fileSize, kMachineI386),
        kind)
        << fileSize;
  }
  std::vector<unsigned char> header = dllHeader();
  EXPECT_EQ(
      classifyImage(header.data(), header.size() - 1, 0x800, kMachineI386),
      K::kNoImage)
      << "its section table cut short";
}

}  // namespace
}  // namespace tarvek
