// The server-file format through the library's calls: every row of the field
// table lands at its offset and width, and every kind of error names its file
// and line.
#include <stdint.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "server/records.h"
#include "server/rfax_api.h"
#include "server/user_info_record.h"
#include "tests/support/rfsim_fixture.h"
#include "util/bytes.h"

#include <gtest/gtest.h>

namespace rfsim_test {
namespace {

using tarvek::FieldRow;
using tarvek::FieldType;
using tarvek::kUserInfoFields;
using tarvek::kUserInfoSize;

// A text of exactly `length` bytes, different for every `seed`.
std::string patternText(size_t length, size_t seed) {
  std::string text;
  for (size_t i = 0; i < length; ++i)
    text += static_cast<char>('A' + (seed + i) % 26);
  return text;
}

// The longest security ID: 567 non-zero bytes.
std::string longSid() {
  std::string text;
  char pair[4];
  for (size_t i = 0; i < 567; ++i) {
    snprintf(pair, sizeof(pair), "%s%02X", i ? " " : "",
             static_cast<unsigned>(i % 255 + 1));
    text += pair;
  }
  return text;
}

// The value a row's test writes: the widest the row allows.
std::string valueFor(const FieldRow& row, size_t index) {
  switch (row.type) {
    case FieldType::Text: return patternText(row.room - 1u, index);
    case FieldType::U8: return "201";
    case FieldType::U16: return "65534";
    case FieldType::Hex16: return "aB12";
    case FieldType::I16: return "-2";
    case FieldType::U32: return "4000000001";
    case FieldType::Hex32: return "89aBcDeF";
    case FieldType::ChangeTag: return "1000000000, 09/09/2001 01:46:40 Z";
    case FieldType::AcctCode: return "255";
    case FieldType::Sid: return longSid();
  }
  return "";
}

// Checks the field of `row` in `record` against valueFor(row, index).
void expectField(const unsigned char* record, const FieldRow& row,
                 size_t index) {
  const unsigned char* p = record + row.offset;
  switch (row.type) {
    case FieldType::Text: {
      std::string expected = patternText(row.room - 1u, index);
      EXPECT_EQ(tarvek::boundedLength(p, row.room), row.room - 1u);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(p)), expected);
      break;
    }
    case FieldType::U8: EXPECT_EQ(tarvek::readU8(p), 201); break;
    case FieldType::U16: EXPECT_EQ(tarvek::readU16(p), 65534); break;
    case FieldType::Hex16: EXPECT_EQ(tarvek::readU16(p), 0xAB12); break;
    case FieldType::I16: EXPECT_EQ(tarvek::readI16(p), -2); break;
    case FieldType::U32: EXPECT_EQ(tarvek::readU32(p), 4000000001u); break;
    case FieldType::Hex32: EXPECT_EQ(tarvek::readU32(p), 0x89ABCDEFu); break;
    case FieldType::ChangeTag:
      EXPECT_EQ(tarvek::readU32(p), 1000000000u);
      break;
    case FieldType::AcctCode:
      EXPECT_EQ(tarvek::readU8(p), 255);
      for (size_t i = 1; i < row.room; ++i) EXPECT_EQ(p[i], 0) << i;
      break;
    case FieldType::Sid:
      for (size_t i = 0; i < 567; ++i) ASSERT_EQ(p[i], i % 255 + 1) << i;
      EXPECT_EQ(p[567], 0);
      break;
  }
}

class RfsimFieldTableTest : public RfsimFixture {};

TEST_F(RfsimFieldTableTest, IdsAndNameComeBeforeTheLowerOffsets) {
  // Rows 1-3 (IDs, name) precede rows 4-5 whose offsets are lower.
  const char* expected[] = {"GroupID", "UserID", "UserName", "NumFaxesOwned",
                            "UserFlags"};
  for (size_t i = 0; i < 5; ++i)
    EXPECT_STREQ(kUserInfoFields[i].key, expected[i]);
  EXPECT_LT(kUserInfoFields[3].offset, kUserInfoFields[0].offset);
}

// One user per row, each setting its row's key to the widest value; both
// load calls must put exactly that value at the row's offset and touch no
// byte outside the row (beyond the section's own IDs).
TEST_F(RfsimFieldTableTest, EveryRowLandsAtItsOffsetAndWidth) {
  std::string file;
  std::vector<std::string> ids;
  for (size_t i = 0; i < tarvek::kUserInfoFieldCount; ++i) {
    const FieldRow& row = kUserInfoFields[i];
    std::string id = "row" + std::to_string(i + 1);
    std::string value = valueFor(row, i);
    if (i == tarvek::kUserIdRow) id = value;
    ids.push_back(id);
    file += "[g\\row" + std::to_string(i + 1) + "]\n" + row.key + "=" + value +
            "\n";
  }
  writeServer("fields.ini", file);
  int32_t code = -1;
  RFaxHandle server = connect("fields", &code);
  ASSERT_NE(server, 0u) << errorText(code);

  const FieldRow& groupRow = kUserInfoFields[tarvek::kGroupIdRow];
  const FieldRow& idRow = kUserInfoFields[tarvek::kUserIdRow];
  for (size_t i = 0; i < tarvek::kUserInfoFieldCount; ++i) {
    const FieldRow& row = kUserInfoFields[i];
    SCOPED_TRACE(row.key);
    unsigned char record[kUserInfoSize];
    unsigned char record3[kUserInfoSize];
    memset(record, 0, sizeof(record));
    memset(record3, 0xEE, sizeof(record3));
    char area1[4] = "";
    char area2[4] = "";
    ASSERT_EQ(RFaxLoadUser(server, 0, ids[i].c_str(), area1, area2, record), 0);
    ASSERT_EQ(
        RFaxLoadUser3(server, 1, 0, ids[i].c_str(), 0, 0, 0, 0, 11, record3),
        0);
    EXPECT_EQ(memcmp(record, record3, kUserInfoSize), 0);
    expectField(record, row, i);
    for (size_t b = 0; b < kUserInfoSize; ++b) {
      bool inRow = b >= row.offset && b < row.offset + row.room;
      bool inIds =
          (b >= groupRow.offset && b < groupRow.offset + groupRow.room) ||
          (b >= idRow.offset && b < idRow.offset + idRow.room);
      if (!inRow && !inIds) {
        ASSERT_EQ(record[b], 0) << "byte " << b;
      }
    }
  }
  EXPECT_EQ(RFaxCloseServerHandle(server), 0);
}

TEST_F(RfsimFieldTableTest, NumbersAcceptLeadingZerosAndEitherHexCase) {
  writeServer("n.ini",
              "[g\\u]\nUserFlags=a\nAutoPrintFlags=00Ff\nUserDID=007\n"
              "StCallBack=-0\nChangeTag=1,\nRpoStartPage=-32768\n");
  RFaxHandle server = connect("n");
  ASSERT_NE(server, 0u);
  unsigned char record[kUserInfoSize] = {};
  ASSERT_EQ(RFaxLoadUser(server, 0, "U", nullptr, nullptr, record), 0);
  EXPECT_EQ(tarvek::readU32(record + 28), 0xAu);
  EXPECT_EQ(tarvek::readU16(record + 592), 0xFF);
  EXPECT_EQ(tarvek::readU32(record + 96), 7u);
  EXPECT_EQ(tarvek::readI16(record + 180), 0);
  EXPECT_EQ(tarvek::readU32(record + 702), 1u);
  EXPECT_EQ(tarvek::readI16(record + 1278), -32768);
}

TEST_F(RfsimFieldTableTest, EmptyValuesAndSectionNameDefaults) {
  writeServer("e.ini",
              "[Sales\\jo\\x]\nUserName=\nSecurityID=\n"
              "[Other\\dflt]\nGroupID=Real\n");
  RFaxHandle server = connect("e");
  ASSERT_NE(server, 0u);
  unsigned char record[kUserInfoSize] = {};
  // Split at the first backslash: the user ID keeps the second one.
  ASSERT_EQ(RFaxLoadUser(server, 0, "JO\\X", nullptr, nullptr, record), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(record + 6), "Sales");
  EXPECT_EQ(record[54], 0);
  EXPECT_EQ(record[1334], 0);
  ASSERT_EQ(RFaxLoadUser(server, 0, "dflt", nullptr, nullptr, record), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(record + 6), "Real");
}

TEST_F(RfsimFieldTableTest, RawBytesApplyAfterFieldsToLoadsOnly) {
  writeServer("b.ini",
              "[g\\u]\nBytes@54=41 42 00 FF\nUserName=Long Name\n"
              "Bytes@1900=7F 80\nBytes@0=01\n");
  RFaxHandle server = connect("b");
  ASSERT_NE(server, 0u);
  unsigned char record[kUserInfoSize] = {};
  ASSERT_EQ(RFaxLoadUser(server, 0, "u", nullptr, nullptr, record), 0);
  EXPECT_EQ(memcmp(record + 54, "AB\0\xFF", 4), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(record + 58),
               " Name");  // the rest stays
  EXPECT_EQ(record[1900], 0x7F);
  EXPECT_EQ(record[1901], 0x80);
  EXPECT_EQ(record[0], 1);
  RFaxHandle list = 0;
  auto listed = elements(server, &list);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(userNameOf(listed[0]), "Long Name");
}

TEST_F(RfsimFieldTableTest, EmptyRawBytesChangeNothing) {
  // Found by fuzzing: an empty patch was copied from a null pointer.
  writeServer("e.ini", "[g\\u]\nUserName=Name\nBytes@1334=\n");
  RFaxHandle server = connect("e");
  ASSERT_NE(server, 0u);
  unsigned char record[kUserInfoSize] = {};
  ASSERT_EQ(RFaxLoadUser(server, 0, "u", nullptr, nullptr, record), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(record + 54), "Name");
  EXPECT_EQ(record[1334], 0);
}

class RfsimParseErrorTest : public RfsimFixture {};

struct BadFile {
  const char* text;
  unsigned line;
  const char* what;
};

TEST_F(RfsimParseErrorTest, EachErrorNamesFileLineAndCause) {
  const std::string longName(42, 'n');
  const std::string fitName(41, 'n');
  const std::string tooLongServerName(384, 's');
  const std::string sid568 = longSid() + " 01";
  const std::string withNameTooLong = "[g\\u]\nUserName=" + longName + "\n";
  const std::string withName384 = "[Server]\nName=" + tooLongServerName + "\n";
  const std::string withSid568 = "[g\\u]\nSecurityID=" + sid568 + "\n";
  // clang-format off
  const BadFile cases[] = {
      {"[g\\u]\r\nUserName=x\r\nNoSuchKey=1\r\n", 3, "unknown key NoSuchKey"},
      {"[g\\u]\nusername=x\n", 2, "unknown key username"},
      {"; c\n# c\n\n[g\\u]\nNumFaxesOwned=12a\n", 5, "bad number for NumFaxesOwned"},
      {"[g\\u]\nNumFaxesOwned= 12\n", 2, "bad number"},
      {"[g\\u]\nUserDID=-1\n", 2, "bad number for UserDID"},
      {"[g\\u]\nUserDID=+1\n", 2, "bad number for UserDID"},
      {"[g\\u]\nNumFaxesOwned=65536\n", 2, "number out of range for NumFaxesOwned"},
      {"[g\\u]\nStCallBack=-32769\n", 2, "number out of range for StCallBack"},
      {"[g\\u]\nRouteType=256\n", 2, "number out of range for RouteType"},
      {"[g\\u]\nUserDID=4294967296\n", 2, "number out of range for UserDID"},
      {"[g\\u]\nUserFlags=123456789\n", 2, "number out of range for UserFlags"},
      {"[g\\u]\nAutoPrintFlags=1FFFF\n", 2, "number out of range for AutoPrintFlags"},
      {"[g\\u]\nUserFlags=0x1\n", 2, "bad number for UserFlags"},
      {"[g\\u]\nAucRpoAcctCode=256\n", 2, "number out of range for AucRpoAcctCode"},
      {"[g\\u]\nChangeTag=,1\n", 2, "bad number for ChangeTag"},
      {withNameTooLong.c_str(), 2, "text too long for UserName (at most 41 bytes)"},
      {withName384.c_str(), 2, "text too long for Name (at most 383 bytes)"},
      {"[g\\Abc]\n[h\\aBC]\n", 2, "duplicate user ID aBC"},
      {"[g\\one]\nUserID=Two\n[g\\TWO]\n", 3, "duplicate user ID TWO"},
      {"[g\\u]\nUserName\n", 2, "line without '='"},
      {"UserName=x\n", 1, "before any section"},
      {"[Servers]\n", 1, "unknown section [Servers]"},
      {"[server]\n", 1, "unknown section [server]"},
      {"[g\\u\n", 1, "section line without closing ']'"},
      {"[Server]\n[Faults]\n[Server]\n", 3, "duplicate section [Server]"},
      {"[Faults]\n[Faults]\n", 2, "duplicate section [Faults]"},
      {"[g\\u]\nUserName=a\nUserName=b\n", 3, "duplicate key UserName"},
      {"[g\\u]\nSecurityID=01 00 02\n", 2, "byte 00 in SecurityID"},
      {"[g\\u]\nSecurityID=01  02\n", 2, "bad hex bytes for SecurityID"},
      {"[g\\u]\nSecurityID=1 02\n", 2, "bad hex bytes for SecurityID"},
      {withSid568.c_str(), 2, "too many bytes for SecurityID"},
      {"[g\\u]\nBytes@1902=01\n", 2, "number out of range for Bytes@1902"},
      {"[g\\u]\nBytes@1901=01 02\n", 2, "bytes past offset 1901"},
      {"[Server]\nRelease=5\n", 2, "bad number for Release"},
      {"[Server]\nRelease=5.x\n", 2, "bad number for Release"},
      {"[Server]\nZoneState=32768\n", 2, "number out of range for ZoneState"},
      {"[Server]\nLatency=10001\n", 2, "number out of range for Latency"},
      {"[Server]\nLatency=-1\n", 2, "bad number for Latency"},
      {"[Faults]\nConnectFailures=some\n", 2, "bad number for ConnectFailures"},
      {"[Faults]\nConnectError=0\n", 2, "ConnectError must not be 0"},
      {"[Faults]\nLoadUserFails=a,,b\n", 2, "empty user ID in LoadUserFails"},
      {"[Faults]\nListEnds=1\n", 2, "unknown key ListEnds"},
      {"[Errors]\nx=text\n", 2, "bad error code x"},
      {"[Errors]\n2=a\n[Errors]\n2=b\n", 4, "duplicate key 2"},
      {"[Generate]\nUsers=10000001\n", 2, "number out of range for Users"},
      {"[Generate]\nGroups=0\n", 2, "number out of range for Groups"},
      {"[g\\user0000002]\n[Generate]\nUsers=2\n", 1,
       "duplicate user ID user0000002 (a generated user)"},
  };
  // clang-format on
  for (const BadFile& bad : cases) {
    SCOPED_TRACE(bad.text);
    std::string message = parseFailure(bad.text);
    std::string prefix =
        "Invalid server file: x.ini line " + std::to_string(bad.line) + ": ";
    EXPECT_EQ(message.substr(0, prefix.size()), prefix) << message;
    EXPECT_NE(message.find(bad.what), std::string::npos) << message;
  }
  // The same values one step inside their limits are fine.
  writeServer("ok.ini", "[g\\u]\nUserName=" + fitName +
                            "\nNumFaxesOwned=65535\nStCallBack=-32768\n"
                            "Bytes@1901=01\n[Generate]\nUsers=10000000\n"
                            "[Server]\nLatency=10000\n");
  int32_t code = -1;
  EXPECT_NE(connect("ok", &code), 0u) << errorText(code);
}

TEST_F(RfsimParseErrorTest, ZeroByteInsideALineIsReported) {
  std::string text("[g\\u]\nUserName=a\0b\n", 19);
  std::string message = parseFailure(text);
  EXPECT_EQ(message,
            "Invalid server file: x.ini line 2: zero byte in the line");
}

TEST_F(RfsimParseErrorTest, ListSectionIsIgnoredSoALongReportReadsBack) {
  writeServer(
      "report.ini",
      "[List]\nFormat=1\nServer=alpha\nDate=2026-12-08 08:00:00 Z\n"
      "Anything=at all\n\n[grp\\u1]\nGroupID=grp\nUserID=u1\n"
      "ChangeTag=1, 01/01/1970 00:00:01 Z\nSecurityID=01 05\n\n[List]\n");
  int32_t code = -1;
  RFaxHandle server = connect("report", &code);
  ASSERT_NE(server, 0u) << errorText(code);
  unsigned char record[kUserInfoSize] = {};
  ASSERT_EQ(RFaxLoadUser(server, 0, "u1", nullptr, nullptr, record), 0);
  EXPECT_EQ(record[1334], 1);
  EXPECT_EQ(record[1335], 5);
}

class RfsimServerSectionTest : public RfsimFixture {
 protected:
  // Connects to a server whose file is `text`; fills `info` when asked.
  RFaxHandle open(const std::string& text, unsigned char* info = nullptr) {
    writeServer("s.ini", text);
    int32_t code = -1;
    RFaxHandle server = connect("s", &code);
    EXPECT_NE(server, 0u) << errorText(code);
    if (info && server) {
      EXPECT_EQ(RFaxGetServerInfo2(server, info), 0);
    }
    return server;
  }
};

TEST_F(RfsimServerSectionTest, InformationRecordHoldsNameZoneAndBiases) {
  unsigned char info[tarvek::kServerInfoSize];
  memset(info, 0xEE, sizeof(info));
  open(
      "[Server]\nName=FAX-HQ 01\nZoneState=3\nBias=300\nStandardBias=0\n"
      "DaylightBias=-60\n",
      info);
  EXPECT_STREQ(reinterpret_cast<char*>(info + tarvek::kServerNameOffset),
               "FAX-HQ 01");
  EXPECT_EQ(tarvek::readI16(info + tarvek::kZoneStateOffset), 3);
  EXPECT_EQ(tarvek::readI32(info + tarvek::kBiasOffset), 300);
  EXPECT_EQ(tarvek::readI32(info + tarvek::kStandardBiasOffset), 0);
  EXPECT_EQ(tarvek::readI32(info + tarvek::kDaylightBiasOffset), -60);
}

TEST_F(RfsimServerSectionTest, NameDefaultsToTheHostUpperCased) {
  writeServer("mixed.ini", "");
  RFaxHandle server = connect("MiXed");
  ASSERT_NE(server, 0u);
  unsigned char info[tarvek::kServerInfoSize] = {};
  ASSERT_EQ(RFaxGetServerInfo2(server, info), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(info + 12), "MIXED");

  unsigned char empty[tarvek::kServerInfoSize];
  memset(empty, 0xEE, sizeof(empty));
  open("[Server]\nName=\n", empty);
  EXPECT_EQ(empty[12], 0);
}

TEST_F(RfsimServerSectionTest, ReleaseComparesMinorNumerically) {
  struct {
    const char* release;
    RFaxResult expected;
  } cases[] = {{"5.20", 0}, {"5.2", 7},  {"5.19", 7},  {"5.100", 0},
               {"6.0", 0},  {"4.99", 7}, {"05.020", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.release);
    RFaxHandle server =
        open(std::string("[Server]\nRelease=") + c.release + "\n");
    EXPECT_EQ(RFaxVersionCheck(server, 0x520, 0), c.expected);
  }
  EXPECT_EQ(RFaxVersionCheck(open(""), 0x520, 0), 0);  // default 5.20
}

TEST_F(RfsimServerSectionTest, LatencyIsWaitedByEveryCallThatReachesTheServer) {
  RFaxHandle server = open(
      "[Server]\nLatency=7\n[Faults]\nLoadUserFails=b\n[g\\a]\n[g\\b]\n"
      "[Generate]\nUsers=1\n");
  EXPECT_EQ(roundTrips(), std::vector<uint32_t>({7}));  // the connection
  unsigned char info[tarvek::kServerInfoSize];
  unsigned char record[kUserInfoSize];
  RFaxHandle list = 0;
  unsigned char* element = nullptr;
  char text[64];
  const struct {
    const char* call;
    std::function<RFaxResult()> run;
    RFaxResult result;
    size_t waits;
    // clang-format off
  } calls[] = {
      {"VersionCheck", [&] { return RFaxVersionCheck(server, 0x520, 0); }, 0, 1},
      {"GetServerInfo2", [&] { return RFaxGetServerInfo2(server, info); }, 0, 1},
      {"GetUserList", [&] { return RFaxGetUserList(server, 1, &list); }, 0, 1},
      {"ListSort",
       [&] { return RFaxListSort(list, [](const void*, const void*) { return 0; }); },
       0, 0},
      {"ListGetFirstElementPtr",
       [&] { return RFaxListGetFirstElementPtr(list, &element); }, 0, 0},
      {"ListGetNextElementPtr",
       [&] { return RFaxListGetNextElementPtr(list, &element); }, 0, 0},
      {"LoadUser", [&] { return RFaxLoadUser(server, 0, "A", nullptr, nullptr, record); },
       0, 1},
      {"LoadUser3 of a generated user",
       [&] { return RFaxLoadUser3(server, 1, 0, "user0000001", 0, 0, 0, 0, 11, record); },
       0, 1},
      {"LoadUser3 that fails",
       [&] { return RFaxLoadUser3(server, 1, 0, "b", 0, 0, 0, 0, 11, record); }, 5, 1},
      {"StringRFaxErr", [&] { return RFaxStringRFaxErr(5, text, sizeof text); }, 0, 0},
      {"CloseListHandle", [&] { return RFaxCloseListHandle(list); }, 0, 0},
      {"CloseServerHandle", [&] { return RFaxCloseServerHandle(server); }, 0, 1},
      {"CloseServerHandle again", [&] { return RFaxCloseServerHandle(server); }, 4, 0},
  };
  // clang-format on
  for (const auto& c : calls) {
    SCOPED_TRACE(c.call);
    roundTrips().clear();
    EXPECT_EQ(c.run(), c.result);
    EXPECT_EQ(roundTrips(), std::vector<uint32_t>(c.waits, 7));
  }
  roundTrips().clear();
  ASSERT_NE(connect("demo"), 0u);
  EXPECT_TRUE(roundTrips().empty());
}

}  // namespace
}  // namespace rfsim_test
