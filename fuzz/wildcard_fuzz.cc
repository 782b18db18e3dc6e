// The wildcard matcher against the recursive reference: the input is the
// text, a zero byte and the pattern. Any difference is a crash. Texts and
// star counts are kept small enough for the reference's exponential cost.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/wildcard.h"
#include "fuzz/fuzz_target.h"
#include "tests/support/wildcard_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const void* zero = memchr(bytes, 0, size);
  if (zero == nullptr) return 0;
  size_t textLength =
      static_cast<size_t>(static_cast<const char*>(zero) - bytes);
  std::string text(bytes, textLength);
  // The pattern ends at the next zero byte, if any.
  std::string pattern(bytes + textLength + 1, size - textLength - 1);
  pattern.resize(strlen(pattern.c_str()));
  size_t stars = 0;
  for (char c : pattern) stars += c == '*';
  if (text.size() > 24 || stars > 4) return 0;
  if (tarvek::wildcardMatch(text.c_str(), pattern.c_str()) !=
      tarvek::testing::recursiveMatch(text.c_str(), pattern.c_str()))
    abort();
  return 0;
}
