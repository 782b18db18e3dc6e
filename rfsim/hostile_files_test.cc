// Hostile server files and directories, and memory that runs out: limits
// fail the attempt with code 3 and a text that says where and why, and no
// lack of memory ends the process.
#include <stdint.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "rfsim/checked_store.h"
#include "rfsim/server_file.h"
#include "server/records.h"
#include "server/rfax_api.h"
#include "server/user_info_record.h"
#include "tests/support/rfsim_fixture.h"

#include <gtest/gtest.h>

namespace rfsim_test {
namespace {

class RfsimHostileTest : public RfsimFixture {
 protected:
  void TearDown() override {
    rfsim::failAllocationsAfterForTests(-1);
    RfsimFixture::TearDown();
  }

  // Makes `path` a sparse file of `size` zero bytes.
  static void sparseFile(const std::filesystem::path& path, uint64_t size) {
    writeFile(path, "");
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(size)), 0);
  }
};

// Every kind of stored text: errors, load faults, users with fields and
// patches, and a generated part.
const char kRichServer[] =
    "[Server]\nName=RICH\n"
    "[Errors]\n12=Down for maintenance\n-3=negative\n"
    "[Faults]\nLoadUserFails=bob,CAROL\n"
    "[sales\\amy]\nUserName=Amy Adams\nNumFaxesOwned=7\nBytes@0=01 02\n"
    "Bytes@00=03\nSecurityID=01 05\n"
    "[sales\\bob]\nUserName=Bob\n"
    "[lab\\carol]\nUserName=Carol\nUserFlags=0000FFFF\n"
    "[Generate]\nUsers=3\n";

TEST_F(RfsimHostileTest, EveryAllocationThatFailsFailsTheAttemptWithItsLine) {
  writeServer("rich.ini", kRichServer);
  // Allow one allocation more each time, until the attempt gets through.
  long allowed = 0;
  RFaxHandle server = 0;
  for (; allowed < 1000 && server == 0; ++allowed) {
    rfsimResetForTests();
    rfsim::failAllocationsAfterForTests(allowed);
    int32_t code = 0;
    server = connect("rich", &code);
    rfsim::failAllocationsAfterForTests(-1);
    if (server != 0) break;
    ASSERT_EQ(code, 3) << allowed;
    std::string text = errorText(3);
    EXPECT_EQ(text.rfind("Invalid server file: rich.ini line ", 0), 0u) << text;
    EXPECT_NE(text.find(": out of memory"), std::string::npos) << text;
  }
  ASSERT_NE(server, 0u);
  EXPECT_GT(allowed, 5);  // the file needs memory of its own
  // What got through is the whole server.
  EXPECT_EQ(errorText(12), "Down for maintenance");
  unsigned char record[tarvek::kUserInfoSize];
  EXPECT_EQ(RFaxLoadUser(server, 0, "AMY", nullptr, nullptr, record), 0);
  EXPECT_EQ(record[0], 3);  // Bytes@00 after Bytes@0
  EXPECT_EQ(record[1], 2);
  EXPECT_EQ(RFaxLoadUser(server, 0, "Carol", nullptr, nullptr, record), 5);
  EXPECT_EQ(RFaxLoadUser(server, 0, "user0000003", nullptr, nullptr, record),
            0);
}

TEST_F(RfsimHostileTest, ListAndSortWithoutMemoryFailWithCode3) {
  writeServer("rich.ini", kRichServer);
  RFaxHandle server = connect("rich");
  ASSERT_NE(server, 0u);
  RFaxHandle list = 0x1234;
  rfsim::failAllocationsAfterForTests(0);
  EXPECT_EQ(RFaxGetUserList(server, 1, &list), 3);
  EXPECT_EQ(list, 0x1234u);  // a failing call writes nothing
  rfsim::failAllocationsAfterForTests(-1);
  std::vector<const unsigned char*> before = elements(server, &list);
  ASSERT_EQ(before.size(), 6u);
  rfsim::failAllocationsAfterForTests(0);
  EXPECT_EQ(RFaxListSort(list,
                         [](const void* a, const void* b) -> int {
                           return strcmp(static_cast<const char*>(b) + 4,
                                         static_cast<const char*>(a) + 4);
                         }),
            3);
  rfsim::failAllocationsAfterForTests(-1);
  unsigned char* element = nullptr;
  ASSERT_EQ(RFaxListGetFirstElementPtr(list, &element), 0);
  EXPECT_EQ(element, before[0]);  // the order as it was
}

TEST_F(RfsimHostileTest, LongLinesFailButCommentsOfAnyLengthAreSkipped) {
  std::string line(rfsim::kMaxLineLength - 5, 'x');  // "Name=" makes it full
  writeServer("full.ini", "[Server]\nName=" + line + "\r\n");
  EXPECT_EQ(
      parseFailure("[Server]\nName=" + line + "y\n"),
      "Invalid server file: x.ini line 2: line longer than 1048576 bytes");
  int32_t code = 0;
  connect("full", &code);
  EXPECT_EQ(errorText(3),
            "Invalid server file: full.ini line 2: text too long for Name (at "
            "most 383 bytes)");
  std::string comment(3 * rfsim::kMaxLineLength, '\0');
  comment[0] = ';';
  writeServer("comment.ini", comment + "\n[Server]\nName=after\n");
  EXPECT_NE(connect("comment"), 0u) << errorText(3);
}

TEST_F(RfsimHostileTest, AZeroByteFailsAtOnceAndATooLargeFileIsNotRead) {
  // Exactly the limit: read up to the first zero byte only.
  sparseFile(servers_ / "limit.ini", rfsim::kMaxServerFileSize);
  int32_t code = 0;
  EXPECT_EQ(connect("limit", &code), 0u);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(errorText(3),
            "Invalid server file: limit.ini line 1: zero byte in the line");
  sparseFile(servers_ / "huge.ini", rfsim::kMaxServerFileSize + 1);
  EXPECT_EQ(connect("huge", &code), 0u);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(errorText(3),
            "Invalid server file: huge.ini line 0: file too large (more than "
            "1 GiB)");
  static const char kLate[] = "[Server]\nName=a\0b\n";
  EXPECT_EQ(parseFailure(std::string(kLate, sizeof kLate - 1)),
            "Invalid server file: x.ini line 2: zero byte in the line");
}

TEST_F(RfsimHostileTest, TrailingBackslashIsPartOfTheDirectoryName) {
  std::filesystem::path directory = servers_ / "D\\";
  std::filesystem::create_directory(directory);
  writeFile(servers_ / "D\\alpha.ini", "[Server]\nName=OUTSIDE\n");
  writeFile(directory / "alpha.ini", "[Server]\nName=INSIDE\n");
  setenv("RFSIM_SERVERS", directory.c_str(), 1);
  RFaxHandle server = connect("alpha");
  ASSERT_NE(server, 0u);
  unsigned char info[tarvek::kServerInfoSize] = {};
  ASSERT_EQ(RFaxGetServerInfo2(server, info), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(info + tarvek::kServerNameOffset),
               "INSIDE");
}

TEST_F(RfsimHostileTest, OnlyANameThatLeadsNowhereIsMissing) {
  ASSERT_EQ(symlink("loop.ini", (servers_ / "loop.ini").c_str()), 0);
  ASSERT_EQ(symlink("loop.ini", (servers_ / "demo.ini").c_str()), 0);
  for (const char* host : {"loop", "demo"}) {
    int32_t code = 0;
    EXPECT_EQ(connect(host, &code), 0u) << host;  // no fallback to demo
    EXPECT_EQ(code, 3);
    EXPECT_EQ(errorText(3), "Invalid server file: " + std::string(host) +
                                ".ini line 0: can't look at the file: Too "
                                "many levels of symbolic links");
  }
  // A link to nothing, or a path through a file, is missing.
  ASSERT_EQ(symlink("nowhere.ini", (servers_ / "dangling.ini").c_str()), 0);
  int32_t code = 0;
  EXPECT_EQ(connect("dangling", &code), 0u);
  EXPECT_EQ(code, 1);
  writeFile(root_ / "plain", "");
  setenv("RFSIM_SERVERS", (root_ / "plain").c_str(), 1);
  EXPECT_EQ(connect("alpha", &code), 0u);
  EXPECT_EQ(code, 1);
  EXPECT_NE(connect("demo", &code), 0u);  // ENOTDIR: the built-in demo
}

}  // namespace
}  // namespace rfsim_test
