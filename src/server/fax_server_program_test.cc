#include "server/fax_server_program.h"

#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "rfsim/test_hook.h"
#include "tests/support/test_util.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

using testing::CapturedStream;
using testing::PauseLog;
using testing::ServerDirectory;

class FaxServerProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rfsimResetForTests();
    PauseLog::pauses().clear();
  }
  FaxServerProgram* make() {
    program_ = new FaxServerProgram(console_.stream(), PauseLog::record);
    return program_;
  }
  void TearDown() override { delete program_; }

  ServerDirectory servers_;
  CapturedStream console_;
  FaxServerProgram* program_ = nullptr;
};

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         text.compare(text.size() - end.size(), end.size(), end) == 0;
}

const char kBanner[] = "RightFax API version: 01/10/2008 21:20:00Z\n";

TEST_F(FaxServerProgramTest, ConstructionAndDestruction) {
  FaxServerProgram* p = make();
  EXPECT_EQ(p->objectMark, 0xDAB10000u);
  EXPECT_EQ(p->presetValue, 100);
  EXPECT_EQ(p->apiVersion, 1200000000);
  EXPECT_EQ(p->serverHandle, 0u);
  EXPECT_EQ(p->serverName, nullptr);
  EXPECT_STREQ(p->errorTextBuffer, "");
  EXPECT_EQ(console_.text(), kBanner);
}

TEST_F(FaxServerProgramTest, BannerForNegativeVersion) {
  setenv("RFSIM_API_VERSION", "-1", 1);
  make();
  unsetenv("RFSIM_API_VERSION");
  EXPECT_EQ(console_.text(), "RightFax API version: 12/31/1969 23:59:59Z\n");
}

TEST_F(FaxServerProgramTest, RefusedEveryTime) {
  servers_.add("alpha", "[Faults]\nConnectFailures=all\n");
  FaxServerProgram* p = make();
  EXPECT_FALSE(p->connect("alpha"));
  std::string expected = kBanner;
  expected += "Connecting to RightFax server: alpha\n";
  for (int i = 1; i <= 5; ++i) {
    expected +=
        "Connect(" + std::to_string(i) + ") to RightFax server: alpha\n";
    expected +=
        "Connect failed to RightFax server: alpha, error 2: "
        "Connection refused by RightFax server\n";
  }
  expected += "Can't connect to RightFax server after 5 tries: alpha\n";
  EXPECT_EQ(console_.text(), expected);
  EXPECT_EQ(PauseLog::pauses(), std::vector<uint32_t>(5, 10000));
  EXPECT_EQ(p->serverHandle, 0u);
  EXPECT_EQ(p->lastError, 2);
  EXPECT_NE(p->lastCallTime, 0);
  p->disconnect();
  EXPECT_EQ(console_.text(), expected) << "disconnect says nothing";
}

TEST_F(FaxServerProgramTest, SuccessAtThirdAttempt) {
  servers_.add("alpha",
               "[Server]\nName=ALPHA-FAX\n[Faults]\nConnectFailures=2\n"
               "ConnectError=9\n[Errors]\n9=Line busy\n");
  FaxServerProgram* p = make();
  ASSERT_TRUE(p->connect("Alpha"));
  EXPECT_EQ(console_.text(),
            std::string(kBanner) +
                "Connecting to RightFax server: Alpha\n"
                "Connect(1) to RightFax server: Alpha\n"
                "Connect failed to RightFax server: Alpha, error 9: Line busy\n"
                "Connect(2) to RightFax server: Alpha\n"
                "Connect failed to RightFax server: Alpha, error 9: Line busy\n"
                "Connect(3) to RightFax server: Alpha\n"
                "Connected to RightFax server:  Alpha\n");
  EXPECT_EQ(PauseLog::pauses().size(), 2u);
  EXPECT_EQ(p->lastError, 0);
  EXPECT_STREQ(p->serverName, "Alpha");
  EXPECT_STREQ(p->serverReportedName, "ALPHA-FAX");
  p->disconnect();
  EXPECT_EQ(p->serverHandle, 0u);
  std::string text = console_.text();
  EXPECT_EQ(
      text.substr(text.find("Disconnect ")),
      "Disconnect from RightFax server: Alpha, ALPHA-FAX\nDisconnected\n");
  EXPECT_STREQ(p->serverName, "Alpha") << "names survive a disconnect";
}

TEST_F(FaxServerProgramTest, IncompatibleReleaseLeavesConnectionOpen) {
  servers_.add("old", "[Server]\nRelease=5.2\n");
  FaxServerProgram* p = make();
  EXPECT_FALSE(p->connect("old"));
  EXPECT_NE(p->serverHandle, 0u);
  EXPECT_EQ(p->lastError, 0);
  std::string text = console_.text();
  EXPECT_TRUE(
      endsWith(text, "\nIncompatible RightFax server release, need 5.20\n"))
      << text;
  delete program_;  // the destructor disconnects
  program_ = nullptr;
  text = console_.text();
  EXPECT_TRUE(endsWith(text,
                       "\nIncompatible RightFax server release, need 5.20\n"
                       "Disconnect from RightFax server: old, -\n"
                       "Disconnected\n"))
      << text;
}

TEST_F(FaxServerProgramTest, ServerInfoFailureKeepsConnection) {
  servers_.add("beta", "[Faults]\nServerInfoError=12\n");
  FaxServerProgram* p = make();
  EXPECT_TRUE(p->connect("beta"));
  EXPECT_EQ(p->lastError, 12);
  EXPECT_EQ(p->serverReportedName, nullptr);
  p->disconnect();
  std::string text = console_.text();
  EXPECT_NE(text.find("Disconnect from RightFax server: beta, -\n"),
            std::string::npos);
}

TEST_F(FaxServerProgramTest, UtcBiasFromZoneState) {
  struct {
    const char* server;
    int32_t bias;
  } cases[] = {
      {"[Server]\nZoneState=3\nBias=300\nDaylightBias=-60\n", 14400},
      {"[Server]\nZoneState=2\nBias=-60\nStandardBias=0\n", -3600},
      {"[Server]\nZoneState=1\nBias=300\nDaylightBias=-60\n", 0},
      {"[Server]\nZoneState=0\nBias=300\n", 0},
  };
  for (const auto& c : cases) {
    servers_.add("zone", c.server);
    FaxServerProgram p(console_.stream(), PauseLog::record);
    ASSERT_TRUE(p.connect("zone"));
    EXPECT_EQ(p.serverUtcBias, c.bias) << c.server;
  }
}

TEST_F(FaxServerProgramTest, LongErrorTextIsCut) {
  std::string text(700, 'e');
  servers_.add("gamma",
               "[Faults]\nConnectFailures=all\nConnectError=42\n"
               "[Errors]\n42=" +
                   text + "\n");
  FaxServerProgram* p = make();
  EXPECT_FALSE(p->connect("gamma"));
  EXPECT_EQ(std::string(p->errorText()), std::string(500, 'e'));
}

TEST_F(FaxServerProgramTest, LoadUserKeepsTexts) {
  servers_.add("users",
               "[sales\\ann]\nUserName=Ann Archer\n"
               "[support\\bob]\nUserName=Bob Baker\n"
               "[Faults]\nLoadUserFails=carl\n"
               "[support\\carl]\nUserName=Carl\n");
  FaxServerProgram* p = make();
  ASSERT_TRUE(p->connect("users"));
  p->lastCallTime = 0;
  ASSERT_TRUE(p->loadUser("ANN"));
  EXPECT_NE(p->lastCallTime, 0);
  EXPECT_STREQ(p->loadedUserId, "ann");
  EXPECT_STREQ(p->loadedUserName, "Ann Archer");
  EXPECT_STREQ(p->loadedGroupId, "sales");
  ASSERT_TRUE(p->loadUser("bob"));
  EXPECT_STREQ(p->loadedUserId, "bob");
  EXPECT_STREQ(p->loadedGroupId, "support");
  p->lastCallTime = 0;
  EXPECT_FALSE(p->loadUser("carl"));
  EXPECT_EQ(p->lastError, 5);
  EXPECT_NE(p->lastCallTime, 0);
  EXPECT_STREQ(p->loadedUserName, "Bob Baker") << "kept after a failure";
  EXPECT_FALSE(p->loadUser("nobody"));
  EXPECT_EQ(p->lastError, 5);
}

TEST(FaxStatusNameTest, TableAndOthers) {
  EXPECT_STREQ(FaxServerProgram::faxStatusName(0), "Unborn");
  EXPECT_STREQ(FaxServerProgram::faxStatusName(6), "Okay");
  EXPECT_STREQ(FaxServerProgram::faxStatusName(11), "Error");
  EXPECT_STREQ(FaxServerProgram::faxStatusName(20), "In approval");
  EXPECT_STREQ(FaxServerProgram::faxStatusName(21), "21");
  EXPECT_STREQ(FaxServerProgram::faxStatusName(-1), "-1");
  EXPECT_STREQ(FaxServerProgram::faxStatusName(INT32_MIN), "-2147483648");
}

}  // namespace
}  // namespace tarvek
