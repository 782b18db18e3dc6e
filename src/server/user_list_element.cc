#include "server/user_list_element.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "util/ascii.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)user_list_element.cc 1.1 2026/12/08")

namespace tarvek {

namespace {

// Compares two texts of at most `room` bytes each (a text that fills its
// room ends there). Equal bytes need no folding, which is the common case in
// a sorted list's long shared prefixes.
int compareBounded(const unsigned char* a, const unsigned char* b,
                   size_t room) {
  for (size_t i = 0;; ++i) {
    unsigned char ca = i < room ? a[i] : 0;
    unsigned char cb = i < room ? b[i] : 0;
    if (ca == cb) {
      if (ca == 0) return 0;
      continue;
    }
    ca = foldLetter(ca);
    cb = foldLetter(cb);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
}

// Two texts, each in its room of `room` bytes (a user or group ID of a list
// element), compared eight bytes at a time; the room's tail goes byte by
// byte. In the first word that differs, the first differing byte decides
// unless a zero byte ends both texts before it, or the two bytes differ
// only in letter case. Every read stays inside the two rooms.
int compareInRoom(const unsigned char* a, const unsigned char* b, size_t room) {
  size_t i = 0;
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  for (; i + 8 <= room; i += 8) {
    uint64_t wordA, wordB;
    memcpy(&wordA, a + i, 8);
    memcpy(&wordB, b + i, 8);
    // The lowest set bit marks the first zero byte of wordA exactly.
    uint64_t zeros =
        (wordA - 0x0101010101010101ULL) & ~wordA & 0x8080808080808080ULL;
    if (wordA == wordB) {
      if (zeros != 0) return 0;
      continue;
    }
    size_t first = static_cast<size_t>(__builtin_ctzll(wordA ^ wordB)) / 8;
    if (zeros != 0 && static_cast<size_t>(__builtin_ctzll(zeros)) / 8 < first)
      return 0;
    unsigned char ca = foldLetter(a[i + first]);
    unsigned char cb = foldLetter(b[i + first]);
    if (ca != cb) return ca < cb ? -1 : 1;
    i += first + 1;
    break;
  }
#endif
  return compareBounded(a + i, b + i, room - i);
}

const unsigned char* bytes(const void* element, size_t offset) {
  return static_cast<const unsigned char*>(element) + offset;
}

}  // namespace

int compareByUserId(const void* a, const void* b) {
  return compareInRoom(bytes(a, kElementUserIdOffset),
                       bytes(b, kElementUserIdOffset), kElementUserIdRoom);
}

int compareByGroupThenUserId(const void* a, const void* b) {
  int byGroup =
      compareInRoom(bytes(a, kElementGroupIdOffset),
                    bytes(b, kElementGroupIdOffset), kElementGroupIdRoom);
  return byGroup != 0 ? byGroup : compareByUserId(a, b);
}

}  // namespace tarvek
