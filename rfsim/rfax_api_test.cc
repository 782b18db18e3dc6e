// The 13 calls: host resolution, handles, injected faults, error texts and
// user lists.
#include "server/rfax_api.h"

#include <stdint.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "server/records.h"
#include "server/user_info_record.h"
#include "server/user_list_element.h"
#include "tests/support/rfsim_fixture.h"
#include "util/bytes.h"

#include <gtest/gtest.h>

namespace rfsim_test {
namespace {

// The server name a connection reports (the file's [Server] Name).
std::string reportedName(RFaxHandle server) {
  unsigned char info[tarvek::kServerInfoSize] = {};
  if (RFaxGetServerInfo2(server, info) != 0) return "(no info)";
  return reinterpret_cast<char*>(info + tarvek::kServerNameOffset);
}

class RfsimHostTest : public RfsimFixture {};

TEST_F(RfsimHostTest, HostFindsItsFileWhateverTheLetterCase) {
  writeServer("alpha-2.ini", "[Server]\nName=from file\n");
  for (const char* host : {"alpha-2", "ALPHA-2", "Alpha-2"}) {
    int32_t code = -1;
    RFaxHandle server = connect(host, &code);
    ASSERT_NE(server, 0u) << host;
    EXPECT_EQ(code, 0);
    EXPECT_EQ(reportedName(server), "from file");
  }
}

TEST_F(RfsimHostTest, FileNamesAreLowerCaseOnly) {
  writeServer("Beta.ini", "");
  int32_t code = -1;
  EXPECT_EQ(connect("Beta", &code), 0u);
  EXPECT_EQ(code, 1);
}

// Each host could name an existing file if it were used as a path; none may.
TEST_F(RfsimHostTest, HostsThatCouldLeaveTheDirectoryAreNotFound) {
  writeFile(root_ / "x.ini", "");
  std::filesystem::create_directory(servers_ / "a");
  writeServer("a/b.ini", "");
  writeServer("c:x.ini", "");
  writeServer(".hidden.ini", "");
  writeServer("tab\tname.ini", "");
  const std::string tooLong(256, 'h');
  for (const char* host : {"", "../x", "a/b", "a\\b", "C:x", ".hidden",
                           "tab\tname", tooLong.c_str()}) {
    int32_t code = -1;
    EXPECT_EQ(connect(host, &code), 0u) << host;
    EXPECT_EQ(code, 1) << host;
  }
  int32_t code = -1;
  EXPECT_EQ(connect(nullptr, &code), 0u);
  EXPECT_EQ(code, 1);
}

TEST_F(RfsimHostTest, LongestUsableHostIsFound) {
  const std::string host(251, 'h');  // 251 + ".ini" fills a file name
  writeServer(host + ".ini", "[Server]\nName=long\n");
  RFaxHandle server = connect(host.c_str());
  ASSERT_NE(server, 0u);
  EXPECT_EQ(reportedName(server), "long");
}

TEST_F(RfsimHostTest, DemoIsTheFallbackInAnyCase) {
  for (const char* host : {"demo", "DEMO", "Demo"}) {
    RFaxHandle server = connect(host);
    ASSERT_NE(server, 0u) << host;
  }
  unsetenv("RFSIM_SERVERS");
  EXPECT_NE(connect("demo"), 0u);
  setenv("RFSIM_SERVERS", "", 1);
  EXPECT_NE(connect("dEmO"), 0u);
  int32_t code = -1;
  EXPECT_EQ(connect("alpha", &code), 0u);
  EXPECT_EQ(code, 1);
}

TEST_F(RfsimHostTest, ADemoFileComesBeforeTheBuiltInDemo) {
  writeServer("demo.ini", "[Server]\nName=my demo\n");
  EXPECT_EQ(reportedName(connect("Demo")), "my demo");
}

TEST_F(RfsimHostTest, UnreadableFileFailsWithLineZeroAndNoFallback) {
  std::filesystem::create_directory(servers_ / "demo.ini");
  int32_t code = -1;
  EXPECT_EQ(connect("demo", &code), 0u);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(errorText(3),
            "Invalid server file: demo.ini line 0: a directory, not a file");
}

TEST_F(RfsimHostTest, FifoIsNotReadLikeAFile) {
  ASSERT_EQ(mkfifo((servers_ / "pipe.ini").c_str(), 0600), 0);
  int32_t code = -1;
  EXPECT_EQ(connect("pipe", &code), 0u);  // would block if it were opened
  EXPECT_EQ(code, 3);
  EXPECT_EQ(errorText(3),
            "Invalid server file: pipe.ini line 0: not a regular file");
}

TEST_F(RfsimHostTest, FileWithoutReadPermissionFails) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  writeServer("locked.ini", "");
  chmod((servers_ / "locked.ini").c_str(), 0);
  int32_t code = -1;
  EXPECT_EQ(connect("locked", &code), 0u);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(errorText(3),
            "Invalid server file: locked.ini line 0: can't read the file: "
            "Permission denied");
}

TEST_F(RfsimHostTest, FileIsReadAfreshAtEveryAttempt) {
  writeServer("fresh.ini", "[Server]\nName=one\n");
  EXPECT_EQ(reportedName(connect("fresh")), "one");
  writeServer("fresh.ini", "[Server]\nName=two\n");
  EXPECT_EQ(reportedName(connect("fresh")), "two");
  writeServer("fresh.ini", "[Server\n");
  int32_t code = -1;
  EXPECT_EQ(connect("fresh", &code), 0u);
  EXPECT_EQ(code, 3);
}

class RfsimHandleTest : public RfsimFixture {};

// Every call that takes a handle, given `server` and `list` as they are.
void expectEveryCallRejects(RFaxHandle server, RFaxHandle list) {
  unsigned char info[tarvek::kServerInfoSize];
  unsigned char record[tarvek::kUserInfoSize];
  unsigned char* element = reinterpret_cast<unsigned char*>(&info);
  RFaxHandle newList = 77;
  EXPECT_EQ(RFaxVersionCheck(server, 0x520, 0), 4);
  EXPECT_EQ(RFaxGetServerInfo2(server, info), 4);
  EXPECT_EQ(RFaxGetUserList(server, 1, &newList), 4);
  EXPECT_EQ(newList, 77u);
  EXPECT_EQ(RFaxLoadUser(server, 0, "FaxAdmin", nullptr, nullptr, record), 4);
  EXPECT_EQ(RFaxLoadUser3(server, 1, 0, "FaxAdmin", 0, 0, 0, 0, 11, record), 4);
  EXPECT_EQ(RFaxListSort(list, [](const void*, const void*) { return 0; }), 4);
  EXPECT_EQ(RFaxListGetFirstElementPtr(list, &element), 4);
  EXPECT_EQ(RFaxListGetNextElementPtr(list, &element), 4);
  EXPECT_EQ(element, reinterpret_cast<unsigned char*>(&info));
  EXPECT_EQ(RFaxCloseListHandle(list), 4);
  EXPECT_EQ(RFaxCloseServerHandle(server), 4);
}

TEST_F(RfsimHandleTest, ZeroUnknownAndClosedHandlesGiveCode4) {
  expectEveryCallRejects(0, 0);
  expectEveryCallRejects(0xDEADBEEF, 0xDEADBEEF);
  RFaxHandle server = connect("demo");
  RFaxHandle list = 0;
  ASSERT_EQ(RFaxGetUserList(server, 1, &list), 0);
  EXPECT_NE(list, server);
  ASSERT_EQ(RFaxCloseListHandle(list), 0);
  ASSERT_EQ(RFaxCloseServerHandle(server), 0);
  expectEveryCallRejects(server, list);
}

TEST_F(RfsimHandleTest, HandlesOfTheOtherKindAreUnknown) {
  RFaxHandle server = connect("demo");
  RFaxHandle list = 0;
  ASSERT_EQ(RFaxGetUserList(server, 1, &list), 0);
  unsigned char info[tarvek::kServerInfoSize];
  unsigned char* element = nullptr;
  EXPECT_EQ(RFaxGetServerInfo2(list, info), 4);
  EXPECT_EQ(RFaxListGetFirstElementPtr(server, &element), 4);
  EXPECT_EQ(RFaxCloseServerHandle(list), 4);
  EXPECT_EQ(RFaxCloseListHandle(server), 4);
}

TEST_F(RfsimHandleTest, ClosingAServerClosesItsListsOnly) {
  RFaxHandle first = connect("demo");
  RFaxHandle second = connect("demo");
  RFaxHandle list1 = 0, list2 = 0, list3 = 0;
  ASSERT_EQ(RFaxGetUserList(first, 1, &list1), 0);
  ASSERT_EQ(RFaxGetUserList(first, 1, &list2), 0);
  ASSERT_EQ(RFaxGetUserList(second, 1, &list3), 0);
  EXPECT_EQ(RFaxCloseServerHandle(first), 0);
  unsigned char* element = nullptr;
  EXPECT_EQ(RFaxListGetFirstElementPtr(list1, &element), 4);
  EXPECT_EQ(RFaxCloseListHandle(list2), 4);
  EXPECT_EQ(RFaxListGetFirstElementPtr(list3, &element), 0);
  EXPECT_EQ(RFaxVersionCheck(second, 0x520, 0), 0);
}

TEST_F(RfsimHandleTest, NullPointersAreRefusedWithoutACrash) {
  RFaxHandle server = RFaxCreateServerHandle("demo", 4, nullptr);
  ASSERT_NE(server, 0u);
  EXPECT_EQ(RFaxCreateServerHandle("nowhere", 4, nullptr), 0u);
  RFaxHandle list = 0;
  ASSERT_EQ(RFaxGetUserList(server, 1, &list), 0);
  unsigned char record[tarvek::kUserInfoSize];
  EXPECT_EQ(RFaxGetServerInfo2(server, nullptr), 4);
  EXPECT_EQ(RFaxGetUserList(server, 1, nullptr), 4);
  EXPECT_EQ(RFaxListSort(list, nullptr), 4);
  EXPECT_EQ(RFaxListGetFirstElementPtr(list, nullptr), 4);
  EXPECT_EQ(RFaxListGetNextElementPtr(list, nullptr), 4);
  EXPECT_EQ(RFaxLoadUser(server, 0, nullptr, nullptr, nullptr, record), 5);
  EXPECT_EQ(RFaxLoadUser(server, 0, "FaxAdmin", nullptr, nullptr, nullptr), 4);
  EXPECT_EQ(RFaxLoadUser3(server, 1, 0, nullptr, 0, 0, 0, 0, 11, record), 5);
  EXPECT_EQ(RFaxLoadUser3(server, 1, 0, "FaxAdmin", 0, 0, 0, 0, 11, nullptr),
            4);
  RFaxStringRFaxErr(1, nullptr, 501);
}

TEST_F(RfsimHandleTest, LoadNeverTouchesTheTwoAreas) {
  RFaxHandle server = connect("demo");
  char area1[8];
  char area2[8];
  memset(area1, 'x', sizeof(area1));
  memset(area2, 'y', sizeof(area2));
  unsigned char record[tarvek::kUserInfoSize] = {};
  ASSERT_EQ(RFaxLoadUser(server, 0, "faxadmin", area1, area2, record), 0);
  EXPECT_EQ(std::string(area1, 8), std::string(8, 'x'));
  EXPECT_EQ(std::string(area2, 8), std::string(8, 'y'));
  unsigned char unchanged[tarvek::kUserInfoSize];
  memset(unchanged, 0xAB, sizeof(unchanged));
  EXPECT_EQ(RFaxLoadUser(server, 0, "nobody", area1, area2, unchanged), 5);
  EXPECT_EQ(unchanged[0], 0xAB);
  EXPECT_EQ(unchanged[tarvek::kUserInfoSize - 1], 0xAB);
}

class RfsimFaultsTest : public RfsimFixture {
 protected:
  static std::vector<int32_t> attemptCodes(const char* host, int count) {
    std::vector<int32_t> codes;
    for (int i = 0; i < count; ++i) {
      int32_t code = -1;
      RFaxHandle server = connect(host, &code);
      codes.push_back(server ? 0 : code);
    }
    return codes;
  }
};

TEST_F(RfsimFaultsTest, FirstConnectFailuresAttemptsFailPerServer) {
  writeServer("flaky.ini", "[Faults]\nConnectFailures=2\n");
  writeServer("steady.ini", "");
  EXPECT_EQ(attemptCodes("flaky", 1), std::vector<int32_t>({2}));
  EXPECT_EQ(attemptCodes("steady", 1), std::vector<int32_t>({0}));
  // Host spelling doesn't matter: the counter belongs to the file.
  EXPECT_EQ(attemptCodes("FLAKY", 3), std::vector<int32_t>({2, 0, 0}));
  rfsimResetForTests();
  EXPECT_EQ(attemptCodes("flaky", 1), std::vector<int32_t>({2}));
}

TEST_F(RfsimFaultsTest, ConnectFailuresAllWithItsOwnCodeAndText) {
  writeServer("down.ini",
              "[Faults]\nConnectFailures=all\nConnectError=12\n"
              "[Errors]\n12=Server is down for maintenance\n");
  EXPECT_EQ(attemptCodes("down", 6), std::vector<int32_t>(6, 12));
  EXPECT_EQ(errorText(12), "Server is down for maintenance");
}

TEST_F(RfsimFaultsTest, CallFaultsReturnTheirCodes) {
  writeServer("faulty.ini",
              "[Faults]\nServerInfoError=9\nSortError=11\n"
              "[g\\b]\n[g\\a]\n");
  RFaxHandle server = connect("faulty");
  ASSERT_NE(server, 0u);
  unsigned char info[tarvek::kServerInfoSize];
  memset(info, 0xEE, sizeof(info));
  EXPECT_EQ(RFaxGetServerInfo2(server, info), 9);
  EXPECT_EQ(info[12], 0xEE);
  RFaxHandle list = 0;
  ASSERT_EQ(RFaxGetUserList(server, 1, &list), 0);
  EXPECT_EQ(RFaxListSort(list,
                         [](const void* a, const void* b) {
                           return strcmp(static_cast<const char*>(a) + 4,
                                         static_cast<const char*>(b) + 4);
                         }),
            11);
  unsigned char* element = nullptr;
  ASSERT_EQ(RFaxListGetFirstElementPtr(list, &element), 0);
  EXPECT_EQ(userIdOf(element), "b");  // unchanged order

  writeServer("nolist.ini", "[Faults]\nUserListError=8\n[g\\a]\n");
  RFaxHandle other = connect("nolist");
  RFaxHandle untouched = 55;
  EXPECT_EQ(RFaxGetUserList(other, 1, &untouched), 8);
  EXPECT_EQ(untouched, 55u);
}

TEST_F(RfsimFaultsTest, LoadUserFailsNamesUsersWithoutCase) {
  writeServer(
      "loads.ini",
      "[Faults]\nLoadUserFails=Bob,CAROL\n[g\\alice]\n[g\\bob]\n[g\\carol]\n");
  RFaxHandle server = connect("loads");
  unsigned char record[tarvek::kUserInfoSize];
  EXPECT_EQ(RFaxLoadUser(server, 0, "alice", nullptr, nullptr, record), 0);
  EXPECT_EQ(RFaxLoadUser(server, 0, "BOB", nullptr, nullptr, record), 5);
  EXPECT_EQ(RFaxLoadUser3(server, 1, 0, "carol", 0, 0, 0, 0, 11, record), 5);

  writeServer("noloads.ini", "[Faults]\nLoadUserFails=*\n[g\\alice]\n");
  RFaxHandle none = connect("noloads");
  EXPECT_EQ(RFaxLoadUser(none, 0, "alice", nullptr, nullptr, record), 5);
}

TEST_F(RfsimFaultsTest, ListEndsAfterCutsTheWalk) {
  writeServer("cut.ini", "[Faults]\nListEndsAfter=2\n[g\\a]\n[g\\b]\n[g\\c]\n");
  RFaxHandle list = 0;
  EXPECT_EQ(elements(connect("cut"), &list).size(), 2u);
  unsigned char* element = nullptr;
  EXPECT_EQ(RFaxListGetNextElementPtr(list, &element), 6);

  writeServer("empty.ini", "[Faults]\nListEndsAfter=0\n[g\\a]\n");
  EXPECT_EQ(elements(connect("empty"), &list).size(), 0u);
  writeServer("long.ini", "[Faults]\nListEndsAfter=99\n[g\\a]\n");
  EXPECT_EQ(elements(connect("long"), &list).size(), 1u);
}

class RfsimErrorTextTest : public RfsimFixture {};

TEST_F(RfsimErrorTextTest, BuiltInAndUnknownTexts) {
  EXPECT_EQ(errorText(1), "RightFax server not found");
  EXPECT_EQ(errorText(2), "Connection refused by RightFax server");
  EXPECT_EQ(errorText(4), "Invalid handle");
  EXPECT_EQ(errorText(5), "User not found");
  EXPECT_EQ(errorText(6), "End of list");
  EXPECT_EQ(errorText(7), "Server release is not supported");
  EXPECT_EQ(errorText(42), "Unknown error 42");
  EXPECT_EQ(errorText(-1), "Unknown error -1");
  EXPECT_EQ(errorText(0), "Unknown error 0");
}

TEST_F(RfsimErrorTextTest, LongTextIsCutAndTerminatedWithinTheBuffer) {
  const std::string text(600, 'e');
  writeServer("talk.ini", "[Errors]\n2=" + text + "\n");
  ASSERT_NE(connect("talk"), 0u);
  char buffer[512];
  memset(buffer, 'z', sizeof(buffer));
  RFaxStringRFaxErr(2, buffer, 501);
  EXPECT_EQ(std::string(buffer), text.substr(0, 500));
  EXPECT_EQ(buffer[501], 'z');
  memset(buffer, 'z', sizeof(buffer));
  RFaxStringRFaxErr(2, buffer, 10);
  EXPECT_EQ(std::string(buffer), text.substr(0, 9));
  EXPECT_EQ(buffer[10], 'z');
  RFaxStringRFaxErr(2, buffer, 1);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], 'e');
  buffer[0] = 'q';
  RFaxStringRFaxErr(2, buffer, 0);
  RFaxStringRFaxErr(2, buffer, -5);
  EXPECT_EQ(buffer[0], 'q');
}

TEST_F(RfsimErrorTextTest, TextsComeFromTheMostRecentGoodRead) {
  writeServer("one.ini", "[Errors]\n5=No such person here\n-3=negative\n");
  writeServer("bad.ini", "[Errors]\n5=never\n[Nope]\n");
  ASSERT_NE(connect("one"), 0u);
  EXPECT_EQ(errorText(5), "No such person here");
  EXPECT_EQ(errorText(-3), "negative");
  int32_t code = -1;
  EXPECT_EQ(connect("bad", &code), 0u);
  EXPECT_EQ(errorText(5), "User not found");
  EXPECT_EQ(errorText(3),
            "Invalid server file: bad.ini line 3: unknown section [Nope]");
  ASSERT_NE(connect("one"), 0u);
  EXPECT_EQ(errorText(5), "No such person here");
  ASSERT_NE(connect("demo"), 0u);
  EXPECT_EQ(errorText(5), "User not found");
}

TEST_F(RfsimErrorTextTest, ApiVersionFromTheEnvironmentWhenValid) {
  EXPECT_EQ(RFaxGetAPIVersion(), 1200000000);
  struct {
    const char* value;
    int32_t expected;
  } cases[] = {{"0", 0},
               {"-5", -5},
               {"2147483647", 2147483647},
               {"-2147483648", INT32_MIN},
               {"2147483648", 1200000000},
               {"", 1200000000},
               {"12x", 1200000000},
               {" 12", 1200000000}};
  for (const auto& c : cases) {
    setenv("RFSIM_API_VERSION", c.value, 1);
    EXPECT_EQ(RFaxGetAPIVersion(), c.expected) << c.value;
  }
  unsetenv("RFSIM_API_VERSION");
}

class RfsimListTest : public RfsimFixture {};

TEST_F(RfsimListTest, ElementLayoutAndTheCutOfLongNames) {
  const std::string name41 = "Annelise Vandermeer-Kowalczyk, Esq. (Ret)";
  const std::string id21(21, 'i');
  const std::string group21(21, 'g');
  writeServer("layout.ini", "[" + group21 + "\\" + id21 + "]\nUserName=" +
                                name41 + "\n[Short\\s_1]\nUserName=Jo Ng\n");
  RFaxHandle list = 0;
  auto listed = elements(connect("layout"), &list);
  ASSERT_EQ(listed.size(), 2u);
  const unsigned char* e = listed[0];
  EXPECT_EQ(userIdOf(e), id21);
  EXPECT_EQ(e[tarvek::kElementUserNameOffset - 1], 0);
  EXPECT_EQ(userNameOf(e), name41.substr(0, 33));
  EXPECT_EQ(e[tarvek::kElementGroupIdOffset - 1], 0);
  EXPECT_EQ(groupIdOf(e), group21);
  EXPECT_EQ(e[tarvek::kElementSize - 1], 0);
  EXPECT_EQ(listed[1] - listed[0],
            static_cast<ptrdiff_t>(tarvek::kElementSize));
  EXPECT_EQ(userIdOf(listed[1]), "s_1");
  EXPECT_EQ(userNameOf(listed[1]), "Jo Ng");
  EXPECT_EQ(groupIdOf(listed[1]), "Short");
  // The record keeps the whole name.
  unsigned char record[tarvek::kUserInfoSize] = {};
  RFaxHandle server = connect("layout");
  ASSERT_EQ(RFaxLoadUser(server, 0, id21.c_str(), nullptr, nullptr, record), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record + 54)), name41);
}

int compareGroups(const void* a, const void* b) {
  return strcmp(static_cast<const char*>(a) + tarvek::kElementGroupIdOffset,
                static_cast<const char*>(b) + tarvek::kElementGroupIdOffset);
}

TEST_F(RfsimListTest, SortIsStableWithTheCallersComparator) {
  writeServer("sort.ini",
              "[b\\u1]\n[a\\u2]\n[b\\u3]\n[c\\u4]\n[a\\u5]\n[b\\u6]\n"
              "[Generate]\nUsers=300\nGroups=3\n");
  RFaxHandle server = connect("sort");
  RFaxHandle list = 0;
  ASSERT_EQ(RFaxGetUserList(server, 1, &list), 0);
  unsigned char* element = nullptr;
  ASSERT_EQ(RFaxListGetFirstElementPtr(list, &element), 0);
  ASSERT_EQ(RFaxListSort(list, compareGroups), 0);
  std::vector<std::string> order;
  for (RFaxResult r = RFaxListGetFirstElementPtr(list, &element); r == 0;
       r = RFaxListGetNextElementPtr(list, &element))
    order.push_back(groupIdOf(element) + "/" + userIdOf(element));
  ASSERT_EQ(order.size(), 306u);
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 6),
            std::vector<std::string>(
                {"a/u2", "a/u5", "b/u1", "b/u3", "b/u6", "c/u4"}));
  // Generated users of one group keep their ascending numbers.
  EXPECT_EQ(order[6], "group01/user0000001");
  EXPECT_EQ(order[7], "group01/user0000004");
  EXPECT_EQ(order[106], "group02/user0000002");
  EXPECT_EQ(order[305], "group03/user0000300");
}

int compareNames(const void* a, const void* b) {
  return strcmp(static_cast<const char*>(a) + tarvek::kElementUserNameOffset,
                static_cast<const char*>(b) + tarvek::kElementUserNameOffset);
}

// The sort works in stages of cached blocks; a list longer than the largest
// block, of an odd length and with many equal names, must come out as a
// plain stable sort orders it. A comparator that answers at random still
// gets every element exactly once.
TEST_F(RfsimListTest, LongListsSortStablyAndSafely) {
  writeServer("long.ini", "[Generate]\nUsers=70001\nSeed=3\n");
  RFaxHandle server = connect("long");
  RFaxHandle list = 0;
  auto listed = elements(server, &list);
  ASSERT_EQ(listed.size(), 70001u);
  std::vector<const unsigned char*> expected = listed;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const unsigned char* a, const unsigned char* b) {
                     return compareNames(a, b) < 0;
                   });
  ASSERT_EQ(RFaxListSort(list, compareNames), 0);
  std::vector<const unsigned char*> sorted;
  unsigned char* element = nullptr;
  for (RFaxResult r = RFaxListGetFirstElementPtr(list, &element); r == 0;
       r = RFaxListGetNextElementPtr(list, &element))
    sorted.push_back(element);
  EXPECT_TRUE(sorted == expected);

  static uint32_t state = 1;
  ASSERT_EQ(RFaxListSort(list,
                         [](const void*, const void*) {
                           state = state * 1103515245u + 12345u;
                           return static_cast<int>(state >> 16 & 3) - 1;
                         }),
            0);
  std::set<const unsigned char*> seen;
  for (RFaxResult r = RFaxListGetFirstElementPtr(list, &element); r == 0;
       r = RFaxListGetNextElementPtr(list, &element))
    seen.insert(element);
  EXPECT_EQ(seen.size(), 70001u);
  EXPECT_EQ(*seen.begin(), listed.front());
  EXPECT_EQ(*seen.rbegin(), listed.back());
}

TEST_F(RfsimListTest, ElementsStayValidUntilTheListIsClosed) {
  RFaxHandle server = connect("demo");
  RFaxHandle list = 0;
  auto listed = elements(server, &list);
  ASSERT_GE(listed.size(), 20u);
  std::string firstId = userIdOf(listed[0]);
  unsigned char record[tarvek::kUserInfoSize];
  RFaxHandle other = 0;
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(RFaxGetUserList(server, 1, &other), 0);
    ASSERT_EQ(
        RFaxLoadUser(server, 0, firstId.c_str(), nullptr, nullptr, record), 0);
  }
  EXPECT_EQ(userIdOf(listed[0]), firstId);
  unsigned char* element = nullptr;
  EXPECT_EQ(RFaxListGetNextElementPtr(list, &element), 6);
  EXPECT_EQ(RFaxListGetNextElementPtr(list, &element), 6);
  ASSERT_EQ(RFaxListGetFirstElementPtr(list, &element), 0);
  EXPECT_EQ(element, listed[0]);
}

TEST_F(RfsimListTest, EmptyServerGivesAnEmptyList) {
  writeServer("none.ini", "; no users\n");
  RFaxHandle server = connect("none");
  RFaxHandle list = 0;
  ASSERT_EQ(RFaxGetUserList(server, 1, &list), 0);
  unsigned char* element = nullptr;
  EXPECT_EQ(RFaxListGetFirstElementPtr(list, &element), 6);
  EXPECT_EQ(RFaxListSort(list, compareGroups), 0);
  EXPECT_EQ(RFaxCloseListHandle(list), 0);
}

}  // namespace
}  // namespace rfsim_test
