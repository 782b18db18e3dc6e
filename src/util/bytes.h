// Little-endian readers and writers for packed records, byte by byte at any
// offset (no alignment, no struct casts), and bounded text access.
#ifndef TARVEK_UTIL_BYTES_H_
#define TARVEK_UTIL_BYTES_H_

#include <stddef.h>
#include <stdint.h>
#include <string.h>

namespace tarvek {

inline uint8_t readU8(const unsigned char* p) { return p[0]; }

inline uint16_t readU16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline int16_t readI16(const unsigned char* p) {
  return static_cast<int16_t>(readU16(p));
}

inline uint32_t readU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

inline int32_t readI32(const unsigned char* p) {
  return static_cast<int32_t>(readU32(p));
}

inline void writeU16(unsigned char* p, uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

inline void writeU32(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

/// Length of the zero-terminated text at `p`, looking at no more than `room`
/// bytes: a text that fills its room without a zero byte has length `room`.
inline size_t boundedLength(const unsigned char* p, size_t room) {
  if (room <= 64) {  // IDs and names: cheaper than a library call
    size_t n = 0;
    while (n < room && p[n] != 0) ++n;
    return n;
  }
  const void* zero = memchr(p, 0, room);
  return zero ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - p)
              : room;
}

inline size_t boundedLength(const char* p, size_t room) {
  return boundedLength(reinterpret_cast<const unsigned char*>(p), room);
}

}  // namespace tarvek

#endif  // TARVEK_UTIL_BYTES_H_
