// [Generate] users and the built-in demo server.
#include "rfsim/generated_users.h"

#include <stdint.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "server/rfax_api.h"
#include "server/user_info_record.h"
#include "server/user_list_element.h"
#include "tests/support/record_fields.h"
#include "tests/support/rfsim_fixture.h"
#include "util/bytes.h"

#include <gtest/gtest.h>

namespace rfsim_test {
namespace {

using rfsim::formatGeneratedGroupId;
using rfsim::formatGeneratedUserId;
using rfsim::generatedUserNumber;
using rfsim::kGeneratedTextRoom;

class RfsimGenerateTest : public RfsimFixture {
 protected:
  std::vector<const unsigned char*> generate(const std::string& settings,
                                             const std::string& listed = "") {
    writeServer("gen.ini", listed + "[Generate]\n" + settings);
    int32_t code = -1;
    server_ = connect("gen", &code);
    EXPECT_NE(server_, 0u) << errorText(code);
    RFaxHandle list = 0;
    return elements(server_, &list);
  }

  RFaxHandle server_ = 0;
};

TEST_F(RfsimGenerateTest, CountsFollowTheListedUsers) {
  auto listed = generate("Users=25\n", "[Staff\\ann]\n[Staff\\bo]\n");
  ASSERT_EQ(listed.size(), 27u);
  EXPECT_EQ(userIdOf(listed[0]), "ann");
  EXPECT_EQ(userIdOf(listed[1]), "bo");
  EXPECT_EQ(userIdOf(listed[2]), "user0000001");
  EXPECT_EQ(userIdOf(listed[26]), "user0000025");
  EXPECT_EQ(generate("Users=0\n").size(), 0u);
}

TEST_F(RfsimGenerateTest, IdsAndGroupNamesKeepTheirDigits) {
  char text[kGeneratedTextRoom];
  formatGeneratedUserId(1, text);
  EXPECT_STREQ(text, "user0000001");
  formatGeneratedUserId(10000000, text);
  EXPECT_STREQ(text, "user10000000");
  formatGeneratedGroupId(7, text);
  EXPECT_STREQ(text, "group07");
  formatGeneratedGroupId(100, text);
  EXPECT_STREQ(text, "group100");
  auto number = [](const char* id, uint32_t count) {
    return generatedUserNumber(id, strlen(id), count);
  };
  EXPECT_EQ(number("user0000042", 50), 42u);
  EXPECT_EQ(number("USER0000042", 50), 42u);
  EXPECT_EQ(number("user0000042", 41), 0u);
  EXPECT_EQ(number("user0000000", 50), 0u);
  EXPECT_EQ(number("user42", 50), 0u);
  EXPECT_EQ(number("user00000042", 50), 0u);
  EXPECT_EQ(number("user10000000", 10000000), 10000000u);
  EXPECT_EQ(number("usr00000042", 50), 0u);
}

TEST_F(RfsimGenerateTest, GroupsAreAssignedRoundRobin) {
  auto listed = generate("Users=7\nGroups=3\n");
  std::vector<std::string> groups;
  for (const unsigned char* e : listed) groups.push_back(groupIdOf(e));
  EXPECT_EQ(groups, std::vector<std::string>({"group01", "group02", "group03",
                                              "group01", "group02", "group03",
                                              "group01"}));
  auto many = generate("Users=120\nGroups=120\n");
  EXPECT_EQ(groupIdOf(many[98]), "group99");
  EXPECT_EQ(groupIdOf(many[99]), "group100");
  auto defaults = generate("Users=11\n");
  EXPECT_EQ(groupIdOf(defaults[9]), "group10");
  EXPECT_EQ(groupIdOf(defaults[10]), "group01");
}

TEST_F(RfsimGenerateTest, NamesAreVariedAndDeterministic) {
  std::vector<std::string> first;
  for (const unsigned char* e : generate("Users=200\nSeed=5\n"))
    first.push_back(userNameOf(e));
  std::vector<std::string> again;
  for (const unsigned char* e : generate("Users=200\nSeed=5\n"))
    again.push_back(userNameOf(e));
  EXPECT_EQ(first, again);
  std::set<std::string> distinct(first.begin(), first.end());
  EXPECT_GT(distinct.size(), 100u);
  for (const std::string& name : first)
    EXPECT_NE(name.find(' '), std::string::npos);
  std::vector<std::string> otherSeed;
  for (const unsigned char* e : generate("Users=200\nSeed=6\n"))
    otherSeed.push_back(userNameOf(e));
  EXPECT_NE(first, otherSeed);
}

TEST_F(RfsimGenerateTest, LoadComputesTheRecordFromTheNumber) {
  auto listed = generate("Users=500\nGroups=4\nSeed=9\n", "[Staff\\ann]\n");
  unsigned char record[tarvek::kUserInfoSize];
  unsigned char again[tarvek::kUserInfoSize];
  ASSERT_EQ(RFaxLoadUser(server_, 0, "USER0000123", nullptr, nullptr, record),
            0);
  ASSERT_EQ(RFaxLoadUser3(server_, 1, 0, "user0000123", 0, 0, 0, 0, 11, again),
            0);
  EXPECT_EQ(memcmp(record, again, sizeof(record)), 0);
  EXPECT_STREQ(
      reinterpret_cast<char*>(tarvek::testing::fieldIn(record, "UserID")),
      "user0000123");
  EXPECT_STREQ(
      reinterpret_cast<char*>(tarvek::testing::fieldIn(record, "GroupID")),
      "group03");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(
                tarvek::testing::fieldIn(record, "UserName"))),
            userNameOf(listed[123]));
  EXPECT_NE(tarvek::readU32(tarvek::testing::fieldIn(record, "ChangeTag")),
            0u);  // a change tag
  EXPECT_EQ(RFaxLoadUser(server_, 0, "user0000501", nullptr, nullptr, record),
            5);
  EXPECT_EQ(RFaxLoadUser(server_, 0, "user0000000", nullptr, nullptr, record),
            5);
  EXPECT_EQ(RFaxLoadUser(server_, 0, "user123", nullptr, nullptr, record), 5);
  EXPECT_EQ(RFaxLoadUser(server_, 0, "ANN", nullptr, nullptr, record), 0);
}

// Generated users are the same in every build: reports and benchmarks of
// one seed stay comparable. The digest covers every byte of the records and
// elements of users 1 to 2000 of seed 7, 13 groups.
TEST_F(RfsimGenerateTest, RecordsAndElementsKeepTheirBytes) {
  auto listed = generate("Users=2000\nGroups=13\nSeed=7\n");
  ASSERT_EQ(listed.size(), 2000u);
  uint64_t digest = 14695981039346656037ULL;  // FNV-1a
  auto add = [&digest](const unsigned char* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i)
      digest = (digest ^ bytes[i]) * 1099511628211ULL;
  };
  unsigned char record[tarvek::kUserInfoSize];
  for (const unsigned char* element : listed) {
    add(element, tarvek::kElementSize);
    std::string id = userIdOf(element);
    ASSERT_EQ(RFaxLoadUser(server_, 0, id.c_str(), nullptr, nullptr, record),
              0);
    add(record, sizeof record);
  }
  EXPECT_EQ(digest, 16683257329168911170ULL);
}

TEST_F(RfsimGenerateTest, LoadUserFailsAppliesToGeneratedUsers) {
  generate("Users=3\n", "[Faults]\nLoadUserFails=User0000002\n");
  unsigned char record[tarvek::kUserInfoSize];
  EXPECT_EQ(RFaxLoadUser(server_, 0, "user0000001", nullptr, nullptr, record),
            0);
  EXPECT_EQ(RFaxLoadUser(server_, 0, "user0000002", nullptr, nullptr, record),
            5);
}

class RfsimDemoTest : public RfsimFixture {};

// The demo must set every field of the record and show the cases a report
// must render right (a negative call-back number, a user name longer than
// the list element's room, IDs with '_', digits and mixed case), so that
// `tarvek -l demo` exercises the whole report.
TEST_F(RfsimDemoTest, UsesEveryFieldAndTheNamedCases) {
  RFaxHandle server = connect("demo");
  ASSERT_NE(server, 0u);
  RFaxHandle list = 0;
  auto listed = elements(server, &list);
  EXPECT_GE(listed.size(), 20u);
  EXPECT_LE(listed.size(), 30u);
  std::vector<bool> used(tarvek::kUserInfoFieldCount, false);
  std::set<std::string> groups;
  bool negativeCallBack = false, longName = false, underscore = false,
       digits = false, mixedCase = false;
  for (const unsigned char* e : listed) {
    std::string id = userIdOf(e);
    groups.insert(groupIdOf(e));
    unsigned char record[tarvek::kUserInfoSize] = {};
    ASSERT_EQ(RFaxLoadUser(server, 0, id.c_str(), nullptr, nullptr, record), 0)
        << id;
    for (size_t i = 0; i < tarvek::kUserInfoFieldCount; ++i) {
      const tarvek::FieldRow& row = tarvek::kUserInfoFields[i];
      for (size_t b = 0; b < row.room; ++b)
        if (record[row.offset + b] != 0) used[i] = true;
    }
    negativeCallBack |=
        tarvek::readI16(tarvek::testing::fieldIn(record, "StCallBack")) < 0;
    const char* name = reinterpret_cast<const char*>(
        tarvek::testing::fieldIn(record, "UserName"));
    longName |= strlen(name) >= tarvek::kElementUserNameRoom;
    underscore |= id.find('_') != std::string::npos;
    digits |= id.find_first_of("0123456789") != std::string::npos;
    bool upper = false, lower = false;
    for (char c : id) {
      upper |= c >= 'A' && c <= 'Z';
      lower |= c >= 'a' && c <= 'z';
    }
    mixedCase |= upper && lower;
  }
  for (size_t i = 0; i < used.size(); ++i)
    EXPECT_TRUE(used[i]) << tarvek::kUserInfoFields[i].key;
  EXPECT_GE(groups.size(), 4u);
  EXPECT_LE(groups.size(), 6u);
  EXPECT_TRUE(negativeCallBack);
  EXPECT_TRUE(longName);
  EXPECT_TRUE(underscore && digits && mixedCase);
  EXPECT_EQ(RFaxVersionCheck(server, 0x520, 0), 0);
}

}  // namespace
}  // namespace rfsim_test
