// The program's own copies (the server's names, a loaded user's texts) when
// memory runs out: the run goes on without them, says "*** Out of memory"
// once and ends with exit code 4.
#include <stdlib.h>

#include <string>

#include "app/user_list_program.h"
#include "rfsim/test_hook.h"
#include "tests/support/test_util.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

using testing::CapturedStream;
using testing::ServerDirectory;

int allocationsLeft = 0;

void* failingAllocation(size_t size) {
  if (allocationsLeft == 0) return nullptr;
  --allocationsLeft;
  return malloc(size);
}

class OutOfMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rfsimResetForTests();
    servers_.add("staff",
                 "[Server]\nName=STAFF-FAX\n[lab\\bob]\nUserName=Bob\n"
                 "[Faults]\nUserListError=9\n");
    FaxServerProgram::allocateText = failingAllocation;
  }
  void TearDown() override { FaxServerProgram::allocateText = malloc; }

  int run(std::initializer_list<const char*> args) {
    return testing::runProgram(console_.stream(), args);
  }

  ServerDirectory servers_;
  CapturedStream console_;
};

TEST_F(OutOfMemoryTest, CopiesThatCantBeMadeAreSaidOnceAndGiveExitCode4) {
  allocationsLeft = 0;  // neither the host's copy nor the server's name
  EXPECT_EQ(run({"tarvek", "staff"}), kExitOutOfMemory);  // 4 replaces 2
  std::string text = console_.text();
  size_t said = text.find("*** Out of memory\n");
  ASSERT_NE(said, std::string::npos) << text;
  EXPECT_EQ(text.find("*** Out of memory", said + 1), std::string::npos);
  EXPECT_NE(text.find("*** Can't retrieve the user list\n"), std::string::npos);
  EXPECT_NE(text.find("Disconnect from RightFax server: , -\n"),
            std::string::npos)
      << text;
}

TEST_F(OutOfMemoryTest, TheServersOwnNameMissingOnly) {
  allocationsLeft = 1;  // the host's copy only
  EXPECT_EQ(run({"tarvek", "staff"}), kExitOutOfMemory);
  EXPECT_NE(console_.text().find("*** Out of memory\n"
                                 "\n"
                                 "Retrieving user list...\n"),
            std::string::npos)
      << console_.text();
  EXPECT_NE(console_.text().find("Disconnect from RightFax server: staff, -\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tarvek
