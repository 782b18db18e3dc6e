#include "util/utc_time.h"

#include <stdint.h>
#include <time.h>

#include <string>

#include <gtest/gtest.h>

namespace tarvek {
namespace {

std::string format(int64_t seconds, const char* pattern) {
  char text[kTimeTextSize];
  formatUtc(seconds, pattern, text, sizeof text);
  return text;
}

TEST(UtcTimeTest, KnownDates) {
  const char* banner = "%m/%d/%Y %H:%M:%SZ";
  EXPECT_EQ(format(1200000000, banner), "01/10/2008 21:20:00Z");
  EXPECT_EQ(format(0, banner), "01/01/1970 00:00:00Z");
  EXPECT_EQ(format(-1, banner), "12/31/1969 23:59:59Z");
  EXPECT_EQ(format(INT32_MIN, banner), "12/13/1901 20:45:52Z");
  EXPECT_EQ(format(INT32_MAX, ", %m/%d/%Y %H:%M:%S Z"),
            ", 01/19/2038 03:14:07 Z");
  EXPECT_EQ(format(4294967295LL, ", %m/%d/%Y %H:%M:%S Z"),
            ", 02/07/2106 06:28:15 Z");
  EXPECT_EQ(format(951782400, "%Y-%m-%d %H:%M:%S Z"), "2000-02-29 00:00:00 Z");
}

TEST(UtcTimeTest, AgreesWithCLibraryAcrossRange) {
  // Every few days across the signed 32-bit range, plus each second of one
  // day, against the C library's own UTC breakdown.
  for (int64_t t = INT32_MIN; t <= INT32_MAX; t += 86400 * 3 + 3607) {
    time_t value = static_cast<time_t>(t);
    struct tm expected;
    ASSERT_NE(gmtime_r(&value, &expected), nullptr);
    UtcTime got = breakDownUtc(t);
    ASSERT_EQ(got.year, expected.tm_year + 1900) << t;
    ASSERT_EQ(got.month, expected.tm_mon + 1) << t;
    ASSERT_EQ(got.day, expected.tm_mday) << t;
    ASSERT_EQ(got.hour, expected.tm_hour) << t;
    ASSERT_EQ(got.minute, expected.tm_min) << t;
    ASSERT_EQ(got.second, expected.tm_sec) << t;
  }
}

TEST(UtcTimeTest, TruncatesToBuffer) {
  char text[5];
  EXPECT_EQ(formatUtc(0, "%Y-%m", text, sizeof text), 4u);
  EXPECT_STREQ(text, "1970");
}

}  // namespace
}  // namespace tarvek
