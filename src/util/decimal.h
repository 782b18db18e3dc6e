// Decimal numbers written without printf, for the report writers, the UTC
// formatter and rfsim's generated users.
#ifndef TARVEK_UTIL_DECIMAL_H_
#define TARVEK_UTIL_DECIMAL_H_

#include <stddef.h>
#include <stdint.h>

namespace tarvek {

/// The most digits a 64-bit value has.
constexpr size_t kMaxDecimalDigits = 20;

/// Writes `value` with at least `width` digits (zero-padded) to `out`, which
/// has room for its digits (at most kMaxDecimalDigits) or `width` of them,
/// whichever is more; returns the length.
inline size_t formatDecimal(uint64_t value, size_t width, char* out) {
  char digits[kMaxDecimalDigits];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  size_t length = 0;
  for (size_t i = count; i < width; ++i) out[length++] = '0';
  while (count > 0) out[length++] = digits[--count];
  return length;
}

}  // namespace tarvek

#endif  // TARVEK_UTIL_DECIMAL_H_
