// The fixture of rfsim's unit tests: a fresh library state and a private
// servers directory (RFSIM_SERVERS) for every test, and server round trips
// that are recorded instead of slept. POSIX only, like the test binary.
#ifndef TARVEK_TESTS_SUPPORT_RFSIM_FIXTURE_H_
#define TARVEK_TESTS_SUPPORT_RFSIM_FIXTURE_H_

#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <vector>

#include "rfsim/test_hook.h"
#include "server/rfax_api.h"
#include "server/user_list_element.h"
#include "tests/support/test_util.h"

#include <gtest/gtest.h>

namespace rfsim_test {

class RfsimFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    rfsimResetForTests();
    unsetenv("RFSIM_API_VERSION");
    roundTrips().clear();
    rfsimSetRoundTripForTests(
        [](uint32_t milliseconds) { roundTrips().push_back(milliseconds); });
  }

  void TearDown() override {
    rfsimResetForTests();
    rfsimSetRoundTripForTests(nullptr);
  }

  /// The round trips waited for since the test began, in milliseconds.
  static std::vector<uint32_t>& roundTrips() {
    static std::vector<uint32_t> waits;
    return waits;
  }

  /// Writes `text` to `fileName` in the servers directory.
  void writeServer(const std::string& fileName, const std::string& text) {
    writeFile(servers_ / fileName, text);
  }

  static void writeFile(const std::filesystem::path& path,
                        const std::string& text) {
    tarvek::testing::writeFile(path.string(), text);
  }

  /// Connects to `host`; the code lands in `*error` when given.
  static RFaxHandle connect(const char* host, int32_t* error = nullptr) {
    int32_t code = -1;
    RFaxHandle handle = RFaxCreateServerHandle(host, 4, &code);
    if (error) *error = code;
    return handle;
  }

  static std::string errorText(int32_t code) {
    char buffer[501];
    buffer[0] = 0;
    RFaxStringRFaxErr(code, buffer, sizeof(buffer));
    return buffer;
  }

  /// Writes `text` as x.ini and returns the code-3 text of connecting to it
  /// ("" and a test failure when the connection doesn't fail with 3).
  std::string parseFailure(const std::string& text) {
    writeServer("x.ini", text);
    int32_t code = 0;
    RFaxHandle handle = connect("x", &code);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(code, 3);
    return code == 3 ? errorText(3) : std::string();
  }

  /// The elements of a new list of `server`, in delivery order.
  static std::vector<const unsigned char*> elements(RFaxHandle server,
                                                    RFaxHandle* list) {
    std::vector<const unsigned char*> result;
    EXPECT_EQ(RFaxGetUserList(server, 1, list), 0);
    unsigned char* element = nullptr;
    for (RFaxResult r = RFaxListGetFirstElementPtr(*list, &element); r == 0;
         r = RFaxListGetNextElementPtr(*list, &element))
      result.push_back(element);
    return result;
  }

  static std::string userIdOf(const unsigned char* element) {
    return reinterpret_cast<const char*>(element +
                                         tarvek::kElementUserIdOffset);
  }
  static std::string userNameOf(const unsigned char* element) {
    return reinterpret_cast<const char*>(element +
                                         tarvek::kElementUserNameOffset);
  }
  static std::string groupIdOf(const unsigned char* element) {
    return reinterpret_cast<const char*>(element +
                                         tarvek::kElementGroupIdOffset);
  }

  tarvek::testing::ServerDirectory directory_;
  std::filesystem::path root_ = directory_.root();
  std::filesystem::path servers_ = directory_.path();
};

}  // namespace rfsim_test

#endif  // TARVEK_TESTS_SUPPORT_RFSIM_FIXTURE_H_
