#include "server/user_list_element.h"

#include <string.h>

#include <string>
#include <vector>

#include "tests/support/folded_order.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

using testing::compareFolded;

std::string element(const char* group, const char* user) {
  std::string e(kElementSize, '\0');
  memcpy(&e[kElementUserIdOffset], user, strlen(user));
  memcpy(&e[kElementGroupIdOffset], group, strlen(group));
  return e;
}

TEST(CompareTest, FoldsLettersAndOrdersBytes) {
  EXPECT_EQ(compareFolded("ABC", "abc"), 0);
  EXPECT_LT(compareFolded("_x", "a"), 0) << "'_' sorts before letters";
  EXPECT_LT(compareFolded("_x", "A"), 0) << "also before upper case";
  EXPECT_LT(compareFolded("9", "_"), 0) << "digits before '_'";
  EXPECT_LT(compareFolded("z", "{"), 0);
  EXPECT_LT(compareFolded("ab", "abc"), 0) << "shorter first";
  EXPECT_GT(compareFolded("\x80", "z"), 0) << "bytes compare unsigned";
}

TEST(CompareTest, ElementComparators) {
  std::string a = element("grpB", "alice");
  std::string b = element("grpA", "Bob");
  std::string c = element("GRPA", "carol");
  EXPECT_LT(compareByUserId(a.data(), b.data()), 0);
  EXPECT_GT(compareByGroupThenUserId(a.data(), b.data()), 0);
  EXPECT_LT(compareByGroupThenUserId(b.data(), c.data()), 0);
  EXPECT_EQ(compareByGroupThenUserId(c.data(), c.data()), 0);
}

// The comparators step over whole words; they must order exactly as the
// byte-by-byte comparison, whatever lies behind an ID's zero byte.
TEST(CompareTest, ElementOrderEqualsTheFoldedByteOrder) {
  // clang-format off
  const char* ids[] = {"",         "a",          "A",        "abcdefg",
                       "abcdefgh", "ABCDEFGH",   "abcdefgi", "abcdefgh_",
                       "abcdefghi", "abcdefghijklmnop", "abcdefghijklmnoP",
                       "abcdefghijklmnopq", "abcdefghijklmnopqrstu",
                       "abcdefghijklmnopqrstU", "abcdefghijklmnopqrstv",
                       "abcdefgh\x80", "abcdefgh{", "abcdefgh_z"};
  // clang-format on
  for (const char* x : ids) {
    for (const char* y : ids) {
      // As user IDs, then as group IDs; different bytes behind the zero
      // byte, inside the room.
      std::string a = element("g", x), b = element("g", y);
      std::string groupA = element(x, "u"), groupB = element(y, "u");
      size_t endA = strlen(x) + 1, endB = strlen(y) + 1;
      if (endA < kElementUserIdRoom) {
        a[kElementUserIdOffset + endA] = 'q';
        groupA[kElementGroupIdOffset + endA] = 'q';
      }
      if (endB < kElementUserIdRoom) {
        b[kElementUserIdOffset + endB] = 'r';
        groupB[kElementGroupIdOffset + endB] = 'r';
      }
      int expected = compareFolded(x, y);
      int byUser = compareByUserId(a.data(), b.data());
      int byGroup = compareByGroupThenUserId(groupA.data(), groupB.data());
      EXPECT_EQ((byUser > 0) - (byUser < 0), (expected > 0) - (expected < 0))
          << '"' << x << "\" vs \"" << y << '"';
      EXPECT_EQ((byGroup > 0) - (byGroup < 0), (expected > 0) - (expected < 0))
          << '"' << x << "\" vs \"" << y << '"';
    }
  }
}

TEST(CompareTest, UserIdFillingItsRoomIsReadNoFurther) {
  std::string a = element("g", "");
  std::string b = element("g", "");
  memset(&a[kElementUserIdOffset], 'x', kElementUserIdRoom);
  memset(&b[kElementUserIdOffset], 'x', kElementUserIdRoom);
  a[kElementUserNameOffset] = 'a';  // would differ if read past the room
  b[kElementUserNameOffset] = 'b';
  EXPECT_EQ(compareByUserId(a.data(), b.data()), 0);
}

TEST(CompareTest, GroupIdFillingTheElementIsReadNoFurther) {
  // Exactly-sized heap buffers: a read past the element's end is an
  // AddressSanitizer error.
  std::vector<char> a(kElementSize, '\0'), b(kElementSize, '\0');
  memset(&a[kElementGroupIdOffset], 'g', kElementGroupIdRoom);
  memset(&b[kElementGroupIdOffset], 'G', kElementGroupIdRoom);
  a[kElementUserIdOffset] = 'a';
  b[kElementUserIdOffset] = 'b';
  EXPECT_LT(compareByGroupThenUserId(a.data(), b.data()), 0);
  b[kElementGroupIdOffset + kElementGroupIdRoom - 1] = 'h';
  EXPECT_LT(compareByGroupThenUserId(a.data(), b.data()), 0);
}

}  // namespace
}  // namespace tarvek
