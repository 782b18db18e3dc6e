// Calendar times broken down as UTC without the C library, so every value
// gives the same text on every platform (negative values included).
#ifndef TARVEK_UTIL_UTC_TIME_H_
#define TARVEK_UTIL_UTC_TIME_H_

#include <stddef.h>
#include <stdint.h>

namespace tarvek {

struct UtcTime {
  int64_t year;
  int month;   ///< 1-12
  int day;     ///< 1-31
  int hour;    ///< 0-23
  int minute;  ///< 0-59
  int second;  ///< 0-59
};

/// Breaks `seconds` since 1970-01-01 00:00:00 UTC down as UTC.
UtcTime breakDownUtc(int64_t seconds);

/// Formats `seconds` with a strftime-style `pattern` that may use %Y, %m,
/// %d, %H, %M, %S and %%; every other character is copied. Writes at most
/// `size` bytes including the terminating zero (size must be > 0) and
/// returns the length of the text.
size_t formatUtc(int64_t seconds, const char* pattern, char* buffer,
                 size_t size);

/// The current calendar time in seconds since 1970 UTC.
int64_t currentTime();

/// Largest formatted time the program needs, with its zero.
constexpr size_t kTimeTextSize = 81;

}  // namespace tarvek

#endif  // TARVEK_UTIL_UTC_TIME_H_
