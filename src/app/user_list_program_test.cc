#include "app/user_list_program.h"

#include <string>

#include "app/version.h"
#include "rfsim/test_hook.h"
#include "tests/support/test_util.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

using testing::CapturedStream;
using testing::ServerDirectory;

const char kBanner[] = "RightFax API version: 01/10/2008 21:20:00Z\n";

// Seven users over three groups, in an order that sorting changes.
const char kStaff[] =
    "[Server]\nName=STAFF-FAX\n"
    "[Sales\\zed]\nUserName=Zed Zimmer\n"
    "[sales\\Amy]\nUserName=Amy Adams\n"
    "[admin\\_svc]\nUserName=Service account\n"
    "[admin\\root1]\nUserName=Root One\n"
    "[admin\\Root2]\nUserName=Root Two\n"
    "[lab\\bob]\nUserName=Bob \"B\" Brown\n"
    "[lab\\amy2]\nUserName=Amy Second\n";

class UserListProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rfsimResetForTests();
    servers_.add("staff", kStaff);
  }

  // Runs the program and returns its exit code; console() has the text.
  int run(std::initializer_list<const char*> args) {
    return testing::runProgram(console_.stream(), args);
  }
  std::string console() { return console_.text(); }

  // The listing's part of the console: between "Retrieving" (or the empty
  // line after connecting) and the empty line before the disconnect.
  std::string listing() {
    std::string text = console();
    size_t start = text.find("Connected to RightFax server:  ");
    start = text.find("\n\n", start) + 2;
    size_t end = text.rfind("\nDisconnect from");
    return text.substr(start, end - start);
  }

  ServerDirectory servers_;
  CapturedStream console_;
};

TEST_F(UserListProgramTest, UsageText) {
  EXPECT_EQ(run({"tarvek"}), 255);
  EXPECT_EQ(console(), std::string(kBanner) +
                           "Tarvek - List users on a RightFax server\n" +
                           "Version 1.0 [" + buildText() + "]\n\n" +
                           kUsageText);
  EXPECT_EQ(std::string(buildText()).size(), 18u) << buildText();
}

TEST_F(UserListProgramTest, FullRunDefault) {
  EXPECT_EQ(run({"tarvek", "staff"}), 0);
  EXPECT_EQ(console(), std::string(kBanner) +
                           "Server: staff\n"
                           "Connecting to RightFax server: staff\n"
                           "Connect(1) to RightFax server: staff\n"
                           "Connected to RightFax server:  staff\n"
                           "\n"
                           "Retrieving user list...\n"
                           "1 Sales\\zed \"Zed Zimmer\"\n"
                           "2 sales\\Amy \"Amy Adams\"\n"
                           "3 admin\\_svc \"Service account\"\n"
                           "4 admin\\root1 \"Root One\"\n"
                           "5 admin\\Root2 \"Root Two\"\n"
                           "6 lab\\bob \"Bob \"B\" Brown\"\n"
                           "7 lab\\amy2 \"Amy Second\"\n"
                           "Users: 7\n"
                           "\n"
                           "Disconnect from RightFax server: staff, STAFF-FAX\n"
                           "Disconnected\n");
}

TEST_F(UserListProgramTest, Filters) {
  EXPECT_EQ(run({"tarvek", "-g", "ADMIN", "staff", "r*", "root?", "nobody"}),
            0);
  EXPECT_EQ(listing(),
            "Retrieving user list...\n"
            "1 admin\\root1 \"Root One\"\n"
            "2 admin\\Root2 \"Root Two\"\n"
            "Users: 2\n")
      << "numbering counts listed users; two matching patterns list once";
}

TEST_F(UserListProgramTest, EmptyPatterns) {
  EXPECT_EQ(run({"tarvek", "-g", "", "staff", ""}), 0);
  EXPECT_EQ(listing(), "Retrieving user list...\nUsers: 0\n")
      << "an empty group pattern lists every group; an empty user pattern "
         "matches only an empty ID";
}

TEST_F(UserListProgramTest, SortOrders) {
  EXPECT_EQ(run({"tarvek", "-t", "staff"}), 0);
  EXPECT_EQ(listing(),
            "Retrieving user list...\n"
            "1 admin\\_svc \"Service account\"\n"
            "2 admin\\root1 \"Root One\"\n"
            "3 admin\\Root2 \"Root Two\"\n"
            "4 lab\\amy2 \"Amy Second\"\n"
            "5 lab\\bob \"Bob \"B\" Brown\"\n"
            "6 sales\\Amy \"Amy Adams\"\n"
            "7 Sales\\zed \"Zed Zimmer\"\n"
            "Users: 7\n");
}

TEST_F(UserListProgramTest, ShortSortsByUserIdAlone) {
  EXPECT_EQ(run({"tarvek", "-ls", "-t", "staff"}), 0);
  EXPECT_EQ(listing(), "_svc\nAmy\namy2\nbob\nroot1\nRoot2\nzed\n");
}

TEST_F(UserListProgramTest, SortFailureListsUnsorted) {
  servers_.add("nosort", std::string(kStaff) + "[Faults]\nSortError=8\n");
  EXPECT_EQ(run({"tarvek", "-t", "-ls", "nosort"}), 0);
  EXPECT_EQ(listing(),
            "*** Can't sort the user-ID list\n"
            "zed\nAmy\n_svc\nroot1\nRoot2\nbob\namy2\n");
}

TEST_F(UserListProgramTest, WalkThatBreaksEarly) {
  servers_.add("broken", std::string(kStaff) + "[Faults]\nListEndsAfter=2\n");
  EXPECT_EQ(run({"tarvek", "broken"}), 0);
  EXPECT_EQ(listing(),
            "Retrieving user list...\n"
            "1 Sales\\zed \"Zed Zimmer\"\n"
            "2 sales\\Amy \"Amy Adams\"\n"
            "Users: 2\n");
}

TEST_F(UserListProgramTest, UserListFailureIsExitCodeTwo) {
  servers_.add("nolist", std::string(kStaff) + "[Faults]\nUserListError=6\n");
  EXPECT_EQ(run({"tarvek", "-l", "nolist"}), 2);
  EXPECT_EQ(listing(),
            "Retrieving user list...\n*** Can't retrieve the user list\n");
  EXPECT_EQ(run({"tarvek", "-ls", "nolist"}), 2);
}

TEST_F(UserListProgramTest, FailedLoadInFileStartsNextRowOnItsOwnLine) {
  servers_.add("fails", std::string(kStaff) + "[Faults]\nLoadUserFails=Amy\n");
  std::string report = servers_.path() + "/report.csv";
  EXPECT_EQ(run({"tarvek", "-lc", "-o", report.c_str(), "fails", "zed", "amy",
                 "bob"}),
            0);
  EXPECT_EQ(listing(),
            "Retrieving user list...\n"
            "*** Cannot retrieve info for user\n"
            "Users: 3\n");
  std::string text = testing::readFile(report);
  size_t fragment =
      text.find("\"sales\\Amy\",\"Amy Adams\",\n\"lab\",\"bob\",");
  EXPECT_NE(fragment, std::string::npos) << text;
}

TEST_F(UserListProgramTest, FailedLoadOnConsoleSharesTheLine) {
  servers_.add("fails", std::string(kStaff) + "[Faults]\nLoadUserFails=*\n");
  EXPECT_EQ(run({"tarvek", "-l", "fails", "zed"}), 0);
  std::string text = listing();
  EXPECT_NE(text.find("\n\"Sales\\zed\",\"Zed Zimmer\","
                      "*** Cannot retrieve info for user\nUsers: 1\n"),
            std::string::npos)
      << text;
}

TEST_F(UserListProgramTest, OutputFileProblems) {
  EXPECT_EQ(run({"tarvek", "-o", "/nonexistent/dir/out.txt", "staff"}), 3);
  EXPECT_EQ(console(), std::string(kBanner) +
                           "*** Can't open/write: /nonexistent/dir/out.txt: "
                           "No such file or directory\n");
}

TEST_F(UserListProgramTest, FullDiskIsReported) {
  CapturedStream fresh;
  EXPECT_EQ(run({"tarvek", "-l", "-o", "/dev/full", "staff"}), 3);
  std::string text = console();
  EXPECT_NE(text.find("Users: 7\n\n*** Can't open/write: /dev/full: No space "
                      "left on device\nDisconnect from"),
            std::string::npos)
      << text;
}

TEST_F(UserListProgramTest, ConnectionFailureLeavesEmptyFile) {
  servers_.add("down", "[Faults]\nConnectFailures=all\n");
  std::string report = servers_.path() + "/out.txt";
  EXPECT_EQ(run({"tarvek", "-o", report.c_str(), "down"}), 1);
  EXPECT_EQ(testing::readFile(report), "");
  FILE* exists = fopen(report.c_str(), "r");
  EXPECT_NE(exists, nullptr);
  if (exists) fclose(exists);
}

}  // namespace
}  // namespace tarvek
