#include "app/wildcard.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "server/records.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)wildcard.cc 1.1 2026/12/08")

namespace tarvek {

namespace {

inline unsigned char fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A'))
                                : c;
}

// Compares two texts of at most `roomA` / `roomB` bytes (a text that fills
// its room ends there). Equal bytes need no folding, which is the common case
// in a sorted list's long shared prefixes.
int compareBounded(const unsigned char* a, size_t roomA,
                   const unsigned char* b, size_t roomB) {
  for (size_t i = 0;; ++i) {
    unsigned char ca = i < roomA ? a[i] : 0;
    unsigned char cb = i < roomB ? b[i] : 0;
    if (ca == cb) {
      if (ca == 0) return 0;
      continue;
    }
    ca = fold(ca);
    cb = fold(cb);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
}

// Two texts, each in its room of `room` bytes (a user or group ID of a list
// element), compared eight bytes at a time; the room's tail goes byte by
// byte. In the first word that differs, the first differing byte decides
// unless a zero byte ends both texts before it, or the two bytes differ
// only in letter case. Every read stays inside the two rooms.
int compareInRoom(const unsigned char* a, const unsigned char* b,
                  size_t room) {
  size_t i = 0;
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  for (; i + 8 <= room; i += 8) {
    uint64_t wordA, wordB;
    memcpy(&wordA, a + i, 8);
    memcpy(&wordB, b + i, 8);
    // The lowest set bit marks the first zero byte of wordA exactly.
    uint64_t zeros = (wordA - 0x0101010101010101ULL) & ~wordA &
                     0x8080808080808080ULL;
    if (wordA == wordB) {
      if (zeros != 0) return 0;
      continue;
    }
    size_t first = static_cast<size_t>(__builtin_ctzll(wordA ^ wordB)) / 8;
    if (zeros != 0 && static_cast<size_t>(__builtin_ctzll(zeros)) / 8 < first)
      return 0;
    unsigned char ca = fold(a[i + first]);
    unsigned char cb = fold(b[i + first]);
    if (ca != cb) return ca < cb ? -1 : 1;
    i += first + 1;
    break;
  }
#endif
  return compareBounded(a + i, room - i, b + i, room - i);
}

const unsigned char* bytes(const void* element, size_t offset) {
  return static_cast<const unsigned char*>(element) + offset;
}

constexpr size_t kUnbounded = static_cast<size_t>(-1);

}  // namespace

// The '*' that was seen last is the only one ever revisited: when a later
// literal fails, that star takes one byte more and matching resumes behind
// it. An earlier star never needs to take more, since whatever a later star
// could skip it can skip as well, so the result equals that of trying every
// split, without its exponential cost.
//
// Trying every split gives the star's longest take first, but whether some
// take matches does not depend on the order in which takes are tried.
bool wildcardMatch(const char* text, const char* pattern) {
  if (text == nullptr || pattern == nullptr) return false;
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(pattern);
  const unsigned char* starPattern = nullptr;  // just behind the last '*'
  const unsigned char* starText = nullptr;     // where its take ends
  for (;;) {
    if (*p == '*') {
      while (*p == '*') ++p;
      starPattern = p;
      starText = t;
      continue;
    }
    if (*t == '\0') {
      if (*p == '\0') return true;
    } else if (*p == '?' || (*p != '\0' && fold(*p) == fold(*t))) {
      ++p;
      ++t;
      continue;
    }
    if (starPattern == nullptr || *starText == '\0') return false;
    p = starPattern;
    t = ++starText;
  }
}

int compareFolded(const char* a, const char* b) {
  return compareBounded(reinterpret_cast<const unsigned char*>(a), kUnbounded,
                        reinterpret_cast<const unsigned char*>(b), kUnbounded);
}

int compareByUserId(const void* a, const void* b) {
  return compareInRoom(bytes(a, kElementUserIdOffset),
                       bytes(b, kElementUserIdOffset), kElementUserIdRoom);
}

int compareByGroupThenUserId(const void* a, const void* b) {
  int byGroup = compareInRoom(bytes(a, kElementGroupIdOffset),
                              bytes(b, kElementGroupIdOffset),
                              kElementGroupIdRoom);
  return byGroup != 0 ? byGroup : compareByUserId(a, b);
}

}  // namespace tarvek
