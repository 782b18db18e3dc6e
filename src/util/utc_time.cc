#include "util/utc_time.h"

#include <string.h>
#include <time.h>

#include "util/decimal.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)utc_time.cc 1.1 2026/12/08")

namespace tarvek {

namespace {

int64_t floorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Writes `value` with at least `width` digits (zero-padded, at most
// kMaxDecimalDigits) and its sign, cut to `room` bytes.
size_t putNumber(char* out, size_t room, int64_t value, size_t width) {
  char text[1 + kMaxDecimalDigits];
  size_t length = 0;
  if (value < 0) text[length++] = '-';
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value)
                                 : static_cast<uint64_t>(value);
  length += formatDecimal(magnitude, width, text + length);
  if (length > room) length = room;
  memcpy(out, text, length);
  return length;
}

}  // namespace

UtcTime breakDownUtc(int64_t seconds) {
  int64_t days = floorDiv(seconds, 86400);
  int64_t rest = seconds - days * 86400;
  UtcTime t;
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest % 3600 / 60);
  t.second = static_cast<int>(rest % 60);
  // Days to civil date in the proleptic Gregorian calendar, counting eras
  // of 400 years from 0000-03-01.
  int64_t z = days + 719468;
  int64_t era = floorDiv(z, 146097);
  int64_t dayOfEra = z - era * 146097;
  int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear =
      dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t mp = (5 * dayOfYear + 2) / 153;
  t.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0);
  return t;
}

size_t formatUtc(int64_t seconds, const char* pattern, char* buffer,
                 size_t size) {
  UtcTime t = breakDownUtc(seconds);
  size_t room = size - 1;
  size_t n = 0;
  for (const char* p = pattern; *p != '\0' && n < room; ++p) {
    if (*p != '%' || p[1] == '\0') {
      buffer[n++] = *p;
      continue;
    }
    ++p;
    switch (*p) {
      case 'Y': n += putNumber(buffer + n, room - n, t.year, 4); break;
      case 'm': n += putNumber(buffer + n, room - n, t.month, 2); break;
      case 'd': n += putNumber(buffer + n, room - n, t.day, 2); break;
      case 'H': n += putNumber(buffer + n, room - n, t.hour, 2); break;
      case 'M': n += putNumber(buffer + n, room - n, t.minute, 2); break;
      case 'S': n += putNumber(buffer + n, room - n, t.second, 2); break;
      default: buffer[n++] = *p; break;
    }
  }
  buffer[n] = '\0';
  return n;
}

int64_t currentTime() { return static_cast<int64_t>(time(nullptr)); }

}  // namespace tarvek
