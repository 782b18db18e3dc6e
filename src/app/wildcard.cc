#include "app/wildcard.h"

#include "util/ascii.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)wildcard.cc 1.1 2026/12/08")

namespace tarvek {

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
    } else if (*p == '?' || (*p != '\0' && foldLetter(*p) == foldLetter(*t))) {
      ++p;
      ++t;
      continue;
    }
    if (starPattern == nullptr || *starText == '\0') return false;
    p = starPattern;
    t = ++starText;
  }
}

}  // namespace tarvek
