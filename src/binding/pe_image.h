// What a file's program-image headers say, read byte by byte at their
// offsets: when Windows refuses RFWIN32.dll for a bad image format, whether
// the file is a sound image for another machine (passed over, as Windows'
// own search passes it over), a whole DLL for this machine (then a DLL it
// needs is at fault, or damage its headers don't show), or neither.
//
//   file offset 0     "MZ" ... the PE header's offset at 0x3C (32 bits)
//   PE header   0     "PE\0\0"
//               4     Machine (16 bits)
//               6     NumberOfSections (16 bits)
//              20     SizeOfOptionalHeader (16 bits)
//              22     Characteristics (16 bits)
//              24     the optional header: Magic (16 bits) ...
//   24 + SizeOfOptionalHeader: the sections, 40 bytes each:
//                     SizeOfRawData at 16, PointerToRawData at 20 (32 bits)
#ifndef TARVEK_BINDING_PE_IMAGE_H_
#define TARVEK_BINDING_PE_IMAGE_H_

#include <stddef.h>
#include <stdint.h>

namespace tarvek {

/// Bytes of the DOS header that peHeaderOffset reads.
constexpr size_t kDosHeaderSize = 64;

/// Where the PE header of an image begins, read from the first `size` bytes
/// of its file (the DOS header: "MZ", the offset at 0x3C); 0 when they are
/// not such a header.
uint32_t peHeaderOffset(const unsigned char* head, size_t size);

/// The Machine field of a program image.
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;

/// Bytes from the PE header's offset that classifyImage needs at most: the
/// signature, the file header, the largest optional header and the section
/// table of 96 sections, the most Windows loads.
constexpr size_t kImageHeaderRoom = 24 + 240 + 96 * 40;

enum class ImageKind {
  /// No program image Windows would load: cut short, damaged, not a DLL.
  kNoImage,
  /// A PE header for one of Windows' machines other than this one.
  kOtherMachine,
  /// A DLL for this machine whose headers and sections are all there.
  kOwnMachineDll,
};

/// What `header` (`size` bytes from the PE header's offset) says of a file
/// of `fileSize` bytes, for a program that runs on `ownMachine`.
ImageKind classifyImage(const unsigned char* header, size_t size,
                        uint64_t fileSize, uint16_t ownMachine);

}  // namespace tarvek

#endif  // TARVEK_BINDING_PE_IMAGE_H_
