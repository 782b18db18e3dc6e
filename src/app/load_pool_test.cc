#include "app/load_pool.h"

#include <string.h>

#include <deque>
#include <string>
#include <vector>

#include "util/bytes.h"

#include <gtest/gtest.h>

namespace tarvek {
namespace {

TEST(ConnectionsTest, ValuesTakenAndRefused) {
  struct Row {
    const char* text;
    bool taken;
    int connections;
  };
  const Row rows[] = {
      {nullptr, true, 1}, {"", true, 1},
      {" \t ", true, 1},  {"1", true, 1},
      {" 4\t", true, 4},  {"016", true, 16},
      {"0", false, 1},    {"17", false, 1},
      {"4x", false, 1},   {"+2", false, 1},
      {"-1", false, 1},   {"2 2", false, 1},
      {"4\n", false, 1},  {"99999999999999999999", false, 1},
  };
  for (const Row& row : rows) {
    int connections = -1;
    EXPECT_EQ(parseConnections(row.text, &connections), row.taken)
        << (row.text ? row.text : "(null)");
    EXPECT_EQ(connections, row.connections) << (row.text ? row.text : "(null)");
  }
}

constexpr int kUsers = 1500;
uint64_t fakeNow;
uint64_t fakeClock() { return fakeNow; }

// What a load of `id` gives, wherever it runs: users whose ID ends in 7
// can't be loaded; the others' records carry their ID.
RFaxResult fakeLoad(const char* id, unsigned char* record) {
  size_t length = strlen(id);
  if (id[length - 1] == '7') return 5;
  memcpy(record + 100, id, length);
  record[kUserInfoSize - 1] = 0xA5;
  return 0;
}

struct Written {
  std::string id;
  RFaxResult code;
  std::string record;
};

class Recorder : public LoadPool::Writer {
 public:
  void write(const unsigned char* element, RFaxResult code,
             const unsigned char* record) override {
    ElementTexts texts = readElementTexts(element);
    written.push_back(
        {std::string(texts.userId, texts.userIdLength), code,
         code == 0
             ? std::string(reinterpret_cast<const char*>(record), kUserInfoSize)
             : std::string()});
  }
  std::vector<Written> written;
};

// Loads in this process, each costing `cost` microseconds; only the user
// whose turn has come (every earlier one written).
class HereLoader : public LoadPool::Loader {
 public:
  HereLoader(const Recorder* recorder, uint64_t cost)
      : recorder_(recorder), cost_(cost) {}
  RFaxResult load(const char* id, unsigned char* record) override {
    fakeNow += cost_;
    ++loads;
    EXPECT_EQ(std::to_string(recorder_->written.size()), std::string(id + 1))
        << "loaded before its turn";
    return fakeLoad(id, record);
  }
  int loads = 0;

 private:
  const Recorder* recorder_;
  uint64_t cost_;
};

// How a fake helper behaves.
struct Behaviour {
  bool startFails = false;
  // Answers this many users, then is gone (0: never connects).
  int answers = 1 << 30;
  // Bytes it hands over at a time.
  size_t chunk = 1 << 20;
  // Its first answer carries a wrong tag.
  bool wrongTag = false;
};

// Helpers that answer within the test: a request's answer is ready at once.
class FakeHelpers : public LoadHelpers {
 public:
  explicit FakeHelpers(std::vector<Behaviour> behaviours)
      : behaviours_(std::move(behaviours)) {}
  int start(const unsigned char* greeting, size_t size) override {
    EXPECT_EQ(memcmp(greeting, LoadPool::kGreeting, 8), 0);
    EXPECT_EQ(readU32(greeting + 8), 4u);
    EXPECT_EQ(size, 8u + 4u + 4u);
    size_t number = helpers_.size();
    if (number >= behaviours_.size() || behaviours_[number].startFails)
      return -1;
    helpers_.push_back(State{behaviours_[number], {}, 0, false, 0});
    if (behaviours_[number].answers > 0) {
      // Connected: ready for users.
      const unsigned char ready[8] = {0xFF, 0xFF, 0xFF, 0xFF,
                                      0xFF, 0xFF, 0xFF, 0xFF};
      helpers_.back().out.assign(ready, ready + 8);
    }
    return static_cast<int>(number);
  }
  bool send(int number, const unsigned char* bytes, size_t size) override {
    State& helper = helpers_[static_cast<size_t>(number)];
    EXPECT_FALSE(helper.ended);
    if (helper.answered >= helper.behaviour.answers) return true;
    ++helper.answered;
    ++sent;
    std::string id(reinterpret_cast<const char*>(bytes + 5), bytes[4]);
    EXPECT_EQ(size, 5u + id.size());
    unsigned char answer[8 + kUserInfoSize] = {};
    RFaxResult code = fakeLoad(id.c_str(), answer + 8);
    uint32_t tag = readU32(bytes);
    if (helper.behaviour.wrongTag && helper.answered == 1) ++tag;
    writeU32(answer, tag);
    writeU32(answer + 4, static_cast<uint32_t>(code));
    helper.out.insert(helper.out.end(), answer,
                      answer + 8 + (code == 0 ? kUserInfoSize : 0));
    return true;
  }
  long receive(int number, unsigned char* bytes, size_t room) override {
    State& helper = helpers_[static_cast<size_t>(number)];
    EXPECT_FALSE(helper.ended);
    if (helper.out.empty())
      return helper.answered >= helper.behaviour.answers ? -1 : 0;
    size_t size = std::min({room, helper.behaviour.chunk, helper.out.size()});
    for (size_t i = 0; i < size; ++i) {
      bytes[i] = helper.out.front();
      helper.out.pop_front();
    }
    return static_cast<long>(size);
  }
  void wait(const int* numbers, size_t count) override {
    EXPECT_GT(count, 0u);
    for (size_t i = 0; i < count; ++i)
      EXPECT_FALSE(helpers_[static_cast<size_t>(numbers[i])].ended);
  }
  void end(int number) override {
    helpers_[static_cast<size_t>(number)].ended = true;
  }
  void endAll() override {
    for (State& helper : helpers_) helper.ended = true;
    ++endings;
  }

  int sent = 0;
  int endings = 0;

 private:
  struct State {
    Behaviour behaviour;
    std::deque<unsigned char> out;
    int answered;
    bool ended;
    int unused;
  };
  std::vector<Behaviour> behaviours_;
  std::vector<State> helpers_;
};

class LoadPoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fakeNow = 1;
    elements_.assign(kUsers * kElementSize, 0);
    for (int i = 0; i < kUsers; ++i) {
      std::string id = "u" + std::to_string(i);
      memcpy(&elements_[static_cast<size_t>(i) * kElementSize +
                        kElementUserIdOffset],
             id.data(), id.size());
    }
    // One connection, in order, as the listing loads without a pool.
    for (int i = 0; i < kUsers; ++i) {
      unsigned char record[kUserInfoSize] = {};
      std::string id = "u" + std::to_string(i);
      RFaxResult code = fakeLoad(id.c_str(), record);
      expected_.push_back(
          {id, code,
           code == 0
               ? std::string(reinterpret_cast<char*>(record), kUserInfoSize)
               : std::string()});
    }
  }

  // Walks the list through a pool of `connections`; the fake helpers
  // (owned by the pool) stay readable through `helpers`.
  void walk(int connections, std::vector<Behaviour> behaviours, uint64_t cost,
            int* started, int* here, int* sent) {
    Recorder recorder;
    HereLoader loader(&recorder, cost);
    FakeHelpers* helpers = new FakeHelpers(std::move(behaviours));
    {
      LoadPool pool(helpers, connections, "host", &loader, &recorder,
                    fakeClock);
      // As the listing walks.
      for (int i = 0; i < kUsers; ++i) {
        const unsigned char* element =
            &elements_[static_cast<size_t>(i) * kElementSize];
        if (pool.active()) {
          pool.add(element);
          continue;
        }
        unsigned char record[kUserInfoSize] = {};
        ElementTexts texts = readElementTexts(element);
        std::string id(texts.userId, texts.userIdLength);
        RFaxResult code = loader.load(id.c_str(), record);
        recorder.write(element, code, record);
        pool.loadedHere();
      }
      pool.finish();
      *started = pool.helpersStarted();
      *sent = helpers->sent;
      EXPECT_GE(helpers->endings, 1);
    }
    *here = loader.loads;
    ASSERT_EQ(recorder.written.size(), expected_.size());
    for (size_t i = 0; i < expected_.size(); ++i) {
      EXPECT_EQ(recorder.written[i].id, expected_[i].id);
      EXPECT_EQ(recorder.written[i].code, expected_[i].code) << i;
      EXPECT_TRUE(recorder.written[i].record == expected_[i].record) << i;
    }
  }

  std::vector<unsigned char> elements_;
  std::vector<Written> expected_;
};

// The same users in the same order, whatever the helpers do; this process
// loads a user only when its turn has come (HereLoader checks).
TEST_F(LoadPoolTest, SameUsersWhateverTheHelpersDo) {
  Behaviour normal;
  Behaviour dribbling;
  dribbling.chunk = 1;
  Behaviour neverConnects;
  neverConnects.answers = 0;
  Behaviour diesEarly;
  diesEarly.answers = 10;
  Behaviour startFails;
  startFails.startFails = true;
  Behaviour wrongTag;
  wrongTag.wrongTag = true;
  struct Row {
    const char* what;
    std::vector<Behaviour> helpers;
    int started;
  };
  const Row rows[] = {
      {"all answer", {normal, normal, normal}, 3},
      {"one hands over a byte at a time", {dribbling, normal}, 2},
      {"one never connects, one dies", {neverConnects, diesEarly, normal}, 3},
      {"all die", {diesEarly, neverConnects}, 2},
      {"a wrong answer ends its helper", {wrongTag, normal}, 2},
      {"none starts", {startFails, startFails}, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    int started = 0, here = 0, sent = 0;
    walk(static_cast<int>(row.helpers.size()) + 1, row.helpers, 2000, &started,
         &here, &sent);
    EXPECT_EQ(started, row.started);
  }
}

TEST_F(LoadPoolTest, HelpersStartOnlyForSlowLoads) {
  int started = 0, here = 0, sent = 0;
  walk(4, {Behaviour(), Behaviour(), Behaviour()}, 200, &started, &here, &sent);
  EXPECT_EQ(started, 0);
  EXPECT_EQ(here, kUsers);
  walk(4, {Behaviour(), Behaviour(), Behaviour()}, 1000, &started, &here,
       &sent);
  EXPECT_EQ(started, 3);
  // 500 loads here before they start (read every 16), then about one in
  // four.
  EXPECT_GE(here, 500);
  EXPECT_LT(here, 512 + (kUsers - 512) / 4 + 10);
}

}  // namespace
}  // namespace tarvek
