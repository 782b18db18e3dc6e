#include "binding/pe_image.h"

#include <string.h>

#include "util/bytes.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)pe_image.cc 1.1 2026/12/09")

namespace tarvek {
namespace {

constexpr size_t kMachineOffset = 4;
constexpr size_t kSectionCountOffset = 6;
constexpr size_t kOptionalSizeOffset = 20;
constexpr size_t kCharacteristicsOffset = 22;
constexpr size_t kOptionalHeaderOffset = 24;
constexpr size_t kSectionSize = 40;
constexpr size_t kRawSizeOffset = 16;
constexpr size_t kRawPointerOffset = 20;
constexpr size_t kMostSections = 96;
static_assert(kImageHeaderRoom ==
                  kOptionalHeaderOffset + 240 + kMostSections * kSectionSize,
              "room for the headers");

constexpr uint16_t kExecutableImage = 0x0002;
constexpr uint16_t kDll = 0x2000;
constexpr uint16_t kPe32Magic = 0x010B;
constexpr uint16_t kPe32PlusMagic = 0x020B;

// x86, x64, ARM (Thumb-2), ARM64, Itanium.
constexpr uint16_t kWindowsMachines[] = {kMachineI386, kMachineAmd64, 0x01C4,
                                         0xAA64, 0x0200};

// True when the headers make a DLL for `machine` and every section's bytes
// lie within the file.
bool isWholeDll(const unsigned char* header, size_t size, uint64_t fileSize,
                uint16_t machine) {
  if (size < kOptionalHeaderOffset + 2) return false;
  uint16_t characteristics = readU16(header + kCharacteristicsOffset);
  if ((characteristics & (kExecutableImage | kDll)) !=
      (kExecutableImage | kDll))
    return false;
  uint16_t magic = machine == kMachineI386 ? kPe32Magic : kPe32PlusMagic;
  if (readU16(header + kOptionalHeaderOffset) != magic) return false;
  size_t sections = readU16(header + kSectionCountOffset);
  size_t table = kOptionalHeaderOffset + readU16(header + kOptionalSizeOffset);
  if (sections == 0 || sections > kMostSections ||
      table + sections * kSectionSize > size)
    return false;
  for (size_t i = 0; i < sections; ++i) {
    const unsigned char* section = header + table + i * kSectionSize;
    uint64_t rawSize = readU32(section + kRawSizeOffset);
    uint64_t rawStart = readU32(section + kRawPointerOffset);
    if (rawSize > 0 && rawStart + rawSize > fileSize) return false;
  }
  return true;
}

}  // namespace

uint32_t peHeaderOffset(const unsigned char* head, size_t size) {
  if (size < kDosHeaderSize || head[0] != 'M' || head[1] != 'Z') return 0;
  return readU32(head + 0x3C);
}

ImageKind classifyImage(const unsigned char* header, size_t size,
                        uint64_t fileSize, uint16_t ownMachine) {
  if (size < kMachineOffset + 2 || memcmp(header, "PE\0\0", 4) != 0)
    return ImageKind::kNoImage;
  uint16_t machine = readU16(header + kMachineOffset);
  if (machine == ownMachine) {
    return isWholeDll(header, size, fileSize, machine)
               ? ImageKind::kOwnMachineDll
               : ImageKind::kNoImage;
  }
  for (uint16_t known : kWindowsMachines)
    if (machine == known) return ImageKind::kOtherMachine;
  return ImageKind::kNoImage;
}

}  // namespace tarvek
