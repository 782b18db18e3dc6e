#include "reports/long_report.h"

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "server/user_info_record.h"
#include "tests/support/record_fields.h"
#include "tests/support/test_util.h"
#include "util/bytes.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

using Record = std::vector<unsigned char>;

Record zeroRecord() { return Record(kUserInfoSize, 0); }

void putText(Record* r, size_t row, const char* text) {
  memcpy(r->data() + kUserInfoFields[row].offset, text, strlen(text));
}

size_t rowByName(const char* name) {
  for (size_t i = 0; i < kUserInfoFieldCount; ++i)
    if (strcmp(kUserInfoFields[i].name, name) == 0) return i;
  ADD_FAILURE() << name;
  return 0;
}

std::string longSection(const Record& r) {
  TextBuffer text;
  renderLongSection(r.data(), &text);
  return std::string(text.data(), text.size());
}

std::string csvRow(const Record& r) {
  TextBuffer text;
  renderCsvRow(r.data(), &text);
  return std::string(text.data(), text.size());
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  size_t start = 0, end;
  while ((end = text.find('\n', start)) != std::string::npos) {
    result.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  EXPECT_EQ(start, text.size()) << "text ends with a line end";
  return result;
}

std::string lineWithKey(const std::string& section, const std::string& key) {
  for (const std::string& line : lines(section))
    if (line.compare(0, key.size() + 1, key + "=") == 0) return line;
  return "<missing " + key + ">";
}

TEST(LongReportTest, ZeroRecord) {
  std::vector<std::string> section = lines(longSection(zeroRecord()));
  ASSERT_EQ(section.size(), 69u);
  EXPECT_EQ(section[0], "[\\]");
  EXPECT_EQ(section[1], "GroupID=");
  EXPECT_EQ(section[4], "NumFaxesOwned=0");
  EXPECT_EQ(section[5], "UserFlags=00000000");
  EXPECT_EQ(section[11], "StCallBack=0");
  EXPECT_EQ(section[24], "AutoPrintFlags=0000");
  EXPECT_EQ(section[44], "ChangeTag=0");
  EXPECT_EQ(section[47], "OtherPBID_1=");
  EXPECT_EQ(section[50], "OtherPBID_4=");
  EXPECT_EQ(section[67], "SecurityID=");
  EXPECT_EQ(section[68], "");
}

TEST(LongReportTest, KeysInTableOrder) {
  std::vector<std::string> section = lines(longSection(zeroRecord()));
  for (size_t i = 0; i < kUserInfoFieldCount; ++i)
    EXPECT_EQ(section[i + 1].find(std::string(kUserInfoFields[i].key) + "="),
              0u);
  EXPECT_EQ(section[38], "AutooCrFlags=0");
  EXPECT_EQ(section[43], "RouteDeleteafter=0");
}

TEST(LongReportTest, NumbersAtTheirExtremes) {
  Record r = zeroRecord();
  for (const FieldRow& row : kUserInfoFields)
    if (fieldWidth(row.type) != 0)
      memset(r.data() + row.offset, 0xFF, fieldWidth(row.type));
  std::string s = longSection(r);
  EXPECT_EQ(lineWithKey(s, "NumFaxesOwned"), "NumFaxesOwned=65535");
  EXPECT_EQ(lineWithKey(s, "UserFlags"), "UserFlags=FFFFFFFF");
  EXPECT_EQ(lineWithKey(s, "UserDID"), "UserDID=4294967295");
  EXPECT_EQ(lineWithKey(s, "StCallBack"), "StCallBack=-1");
  EXPECT_EQ(lineWithKey(s, "RpoStartPage"), "RpoStartPage=-1");
  EXPECT_EQ(lineWithKey(s, "WebImageFormat"), "WebImageFormat=255");
  EXPECT_EQ(lineWithKey(s, "AutoPrintFlags"), "AutoPrintFlags=FFFF");
  EXPECT_EQ(lineWithKey(s, "ChangeTag"),
            "ChangeTag=4294967295, 02/07/2106 06:28:15 Z");
  EXPECT_EQ(lineWithKey(s, "AucRpoAcctCode"), "AucRpoAcctCode=255");

  std::string csv = csvRow(r);
  EXPECT_NE(csv.find(",65535,FFFFFFFF,4294967295,"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",-1,"), std::string::npos);
}

TEST(LongReportTest, ChangeTagDates) {
  struct {
    uint32_t tag;
    const char* line;
  } cases[] = {
      {0, "ChangeTag=0"},
      {1, "ChangeTag=1, 01/01/1970 00:00:01 Z"},
      {1000000000, "ChangeTag=1000000000, 09/09/2001 01:46:40 Z"},
      {2147483647, "ChangeTag=2147483647, 01/19/2038 03:14:07 Z"},
      {2147483648u, "ChangeTag=2147483648, 01/19/2038 03:14:08 Z"},
  };
  for (const auto& c : cases) {
    Record r = zeroRecord();
    writeU32(testing::fieldIn(r.data(), "ChangeTag"), c.tag);
    EXPECT_EQ(lineWithKey(longSection(r), "ChangeTag"), c.line);
    EXPECT_NE(csvRow(r).find("," + std::to_string(c.tag) + ","),
              std::string::npos);
  }
}

TEST(LongReportTest, HexFlagsAndAccountCode) {
  Record r = zeroRecord();
  writeU32(testing::fieldIn(r.data(), "UserFlags"), 26);
  writeU16(testing::fieldIn(r.data(), "AutoPrintFlags"), 171);
  unsigned char* account = testing::fieldIn(r.data(), "AucRpoAcctCode");
  account[0] = 7;
  account[1] = 9;  // only the first byte shows
  std::string s = longSection(r);
  EXPECT_EQ(lineWithKey(s, "UserFlags"), "UserFlags=0000001A");
  EXPECT_EQ(lineWithKey(s, "AutoPrintFlags"), "AutoPrintFlags=00AB");
  EXPECT_EQ(lineWithKey(s, "AucRpoAcctCode"), "AucRpoAcctCode=7");
}

TEST(LongReportTest, SecurityId) {
  Record r = zeroRecord();
  const FieldRow& sidRow = testing::fieldRow("SecurityID");
  unsigned char* sid = r.data() + sidRow.offset;
  sid[0] = 0x01;
  sid[1] = 0x05;
  sid[3] = 0x07;  // behind the first zero byte: never shown
  EXPECT_EQ(lineWithKey(longSection(r), "SecurityID"), "SecurityID=01 05");
  std::string csv = csvRow(r);
  EXPECT_EQ(csv.substr(csv.size() - 9), ",\"01 05\"\n");

  memset(sid, 0xFF, sidRow.room);  // runs to the end of the record
  std::string all = lineWithKey(longSection(r), "SecurityID");
  EXPECT_EQ(sidRow.offset + sidRow.room, kUserInfoSize);
  EXPECT_EQ(all.size(), strlen("SecurityID=") + sidRow.room * 3 - 1);
  EXPECT_EQ(all.substr(all.size() - 5), "FF FF");
}

TEST(LongReportTest, TextsFillingTheirRoom) {
  Record r = zeroRecord();
  putText(&r, kUserIdRow, "123456789012345678901");  // 21 bytes and the zero
  const FieldRow& bi1 = testing::fieldRow("DefaultBI1");
  memset(r.data() + bi1.offset, 'B', bi1.room);     // DefaultBI1 without zero
  *testing::fieldIn(r.data(), "DefaultBI2") = 'C';  // right after it
  std::string s = longSection(r);
  EXPECT_EQ(lineWithKey(s, "UserID"), "UserID=123456789012345678901");
  EXPECT_EQ(bi1.offset + bi1.room, testing::fieldRow("DefaultBI2").offset);
  EXPECT_EQ(lineWithKey(s, "DefaultBI1"), "DefaultBI1=" + std::string(16, 'B'));
  EXPECT_EQ(lineWithKey(s, "DefaultBI2"), "DefaultBI2=C");
}

TEST(LongReportTest, SectionAndCsvTexts) {
  Record r = zeroRecord();
  putText(&r, kGroupIdRow, "grp");
  putText(&r, kUserIdRow, "u1");
  putText(&r, rowByName("username"), "A \"quoted\", name");
  putText(&r, rowByName("szOtherPBID_3"), "pb3");
  std::string s = longSection(r);
  EXPECT_EQ(lines(s)[0], "[grp\\u1]");
  EXPECT_EQ(lineWithKey(s, "OtherPBID_3"), "OtherPBID_3=pb3");
  std::string csv = csvRow(r);
  EXPECT_EQ(csv.find("\"grp\",\"u1\",\"A \"quoted\", name\",0,00000000,"), 0u)
      << csv;
}

TEST(CsvReportTest, ZeroRowAndHead) {
  std::string row = csvRow(zeroRecord());
  EXPECT_EQ(row.substr(0, 11), "\"\",\"\",\"\",0,");
  EXPECT_EQ(row.substr(row.size() - 4), ",\"\"\n");

  testing::CapturedStream out;
  TextBuffer scratch;
  writeCsvHead(out.stream(), "Alpha.example", 1228582509, &scratch);
  std::vector<std::string> head = lines(out.text());
  ASSERT_EQ(head.size(), 2u);
  EXPECT_EQ(head[0],
            "\"format=1\",\"2008-12-06 16:55:09 Z\",\"Alpha.example\"");
  EXPECT_EQ(std::count(head[1].begin(), head[1].end(), ','), 66);
  EXPECT_EQ(head[1].find("groupid,userid,username,usNumFaxesOwned,userflags,"),
            0u);
  EXPECT_NE(head[1].find(",szOtherPBID_1,szOtherPBID_2,"), std::string::npos);
  EXPECT_EQ(head[1].substr(head[1].size() - 4), ",sid");
}

TEST(LongReportTest, HeaderAndNullOutput) {
  testing::CapturedStream out;
  TextBuffer scratch;
  writeLongHead(out.stream(), "alpha", 1228582509, &scratch);
  EXPECT_EQ(out.text(),
            "[List]\nFormat=1\nServer=alpha\nDate=2008-12-06 16:55:09 Z\n\n");
  Record r = zeroRecord();
  writeLongSection(nullptr, r.data(), &scratch);
  writeCsvHead(nullptr, "alpha", 0, &scratch);
}

}  // namespace
}  // namespace tarvek
