// The plain recursive wildcard matcher, the reference the fast matcher is
// tested against: '*' takes the whole rest first, then one byte less each
// time. Exponential on some patterns; for tests and fuzzing only.
#ifndef TARVEK_TESTS_UNIT_WILDCARD_REFERENCE_H_
#define TARVEK_TESTS_UNIT_WILDCARD_REFERENCE_H_

#include <string.h>

namespace tarvek {
namespace testing {

inline char foldByte(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline bool recursiveMatch(const char* text, const char* pattern) {
  if (text == nullptr || pattern == nullptr) return false;
  switch (*pattern) {
    case '\0': return *text == '\0';
    case '*':
      for (size_t k = strlen(text) + 1; k-- > 0;) {
        if (recursiveMatch(text + k, pattern + 1)) return true;
      }
      return false;
    case '?': return *text != '\0' && recursiveMatch(text + 1, pattern + 1);
    default:
      return *text != '\0' && foldByte(*pattern) == foldByte(*text) &&
             recursiveMatch(text + 1, pattern + 1);
  }
}

}  // namespace testing
}  // namespace tarvek

#endif  // TARVEK_TESTS_UNIT_WILDCARD_REFERENCE_H_
