// The order the list's comparators must give, written the plain way: two
// zero-terminated texts compared byte by byte after folding A-Z to a-z, as
// unsigned bytes. The reference the word-at-a-time comparators are tested
// against.
#ifndef TARVEK_TESTS_SUPPORT_FOLDED_ORDER_H_
#define TARVEK_TESTS_SUPPORT_FOLDED_ORDER_H_

#include <stddef.h>

#include "util/ascii.h"

namespace tarvek {
namespace testing {

/// Negative, zero or positive.
inline int compareFolded(const char* a, const char* b) {
  for (size_t i = 0;; ++i) {
    unsigned char ca = foldLetter(static_cast<unsigned char>(a[i]));
    unsigned char cb = foldLetter(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

}  // namespace testing
}  // namespace tarvek

#endif  // TARVEK_TESTS_SUPPORT_FOLDED_ORDER_H_
