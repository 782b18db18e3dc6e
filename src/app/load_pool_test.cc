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
      {nullptr, true, 1}, {" \t ", true, 1}, {" 4\t", true, 4},
      {"016", true, 16},  {"0", false, 1},   {"17", false, 1},
      {"+2", false, 1},   {"2 2", false, 1}, {"99999999999999999999", false, 1},
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

// The users as written: ID, code and the record of each, in one text.
class Recorder : public LoadPool::Writer {
 public:
  void write(const unsigned char* element, RFaxResult code,
             const unsigned char* record) override {
    ElementTexts texts = readElementTexts(element);
    written.push_back(
        std::string(texts.userId, texts.userIdLength) + " " +
        std::to_string(code) + " " +
        (code == 0
             ? std::string(reinterpret_cast<const char*>(record), kUserInfoSize)
             : std::string()));
  }
  std::vector<std::string> written;
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
    helpers_.push_back(State{behaviours_[number], {}, 0, false});
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

  int endings = 0;

 private:
  struct State {
    Behaviour behaviour;
    std::deque<unsigned char> out;
    int answered;
    bool ended;
  };
  std::vector<Behaviour> behaviours_;
  std::vector<State> helpers_;
};

// Walks a list of kUsers through a pool of helpers that behave as
// `behaviours` say, loads here costing `cost` microseconds each: the same
// users in the same order as one connection gives, whatever the helpers do;
// this process loads a user only when its turn has come (HereLoader
// checks). Returns the helpers started; the loads here in `here`.
int walk(std::vector<Behaviour> behaviours, uint64_t cost, int* here) {
  fakeNow = 1;
  std::vector<unsigned char> elements(size_t{kUsers} * kElementSize, 0);
  Recorder recorder, expected;
  HereLoader loader(&recorder, cost);
  FakeHelpers* helpers = new FakeHelpers(behaviours);
  int started = 0;
  {
    LoadPool pool(helpers, static_cast<int>(behaviours.size()) + 1, "host",
                  &loader, &recorder, fakeClock);
    // As the listing walks.
    for (size_t i = 0; i < size_t{kUsers}; ++i) {
      unsigned char* element = &elements[i * kElementSize];
      std::string id = "u" + std::to_string(i);
      memcpy(element + kElementUserIdOffset, id.data(), id.size());
      unsigned char record[kUserInfoSize] = {};
      expected.write(element, fakeLoad(id.c_str(), record), record);
      if (pool.active()) {
        pool.add(element);
        continue;
      }
      memset(record, 0, sizeof record);
      recorder.write(element, loader.load(id.c_str(), record), record);
      pool.loadedHere();
    }
    pool.finish();
    started = pool.helpersStarted();
    EXPECT_GE(helpers->endings, 1);
  }
  *here = loader.loads;
  EXPECT_TRUE(recorder.written == expected.written);
  return started;
}

TEST(LoadPoolTest, SameUsersWhateverTheHelpersDo) {
  Behaviour normal, dribbling, neverConnects, diesEarly, startFails, wrongTag;
  dribbling.chunk = 1;
  neverConnects.answers = 0;
  diesEarly.answers = 10;
  startFails.startFails = true;
  wrongTag.wrongTag = true;
  struct Row {
    const char* what;
    std::vector<Behaviour> helpers;
    uint64_t cost;
    int started;
    // Loads here: at least, and fewer than.
    int leastHere, mostHere;
  };
  // 500 loads of 1 ms here before the helpers start (the clock read every
  // 16), then about one in four.
  constexpr int kAny = kUsers + 1;
  // clang-format off
  const Row rows[] = {
      {"all answer",                      {normal, normal, normal},            2000, 3, 0,      kAny},
      {"one hands over a byte at a time", {dribbling, normal},                 2000, 2, 0,      kAny},
      {"one never connects, one dies",    {neverConnects, diesEarly, normal},  2000, 3, 0,      kAny},
      {"all die",                         {diesEarly, neverConnects},          2000, 2, 0,      kAny},
      {"a wrong answer ends its helper",  {wrongTag, normal},                  2000, 2, 0,      kAny},
      {"none starts",                     {startFails, startFails},            2000, 0, kUsers, kAny},
      {"fast loads start none",           {normal, normal, normal},            200,  0, kUsers, kAny},
      {"slow loads start them",           {normal, normal, normal},            1000, 3, 500,
       512 + (kUsers - 512) / 4 + 10},
  };
  // clang-format on

  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    int here = 0;
    EXPECT_EQ(walk(row.helpers, row.cost, &here), row.started);
    EXPECT_GE(here, row.leastHere);
    EXPECT_LT(here, row.mostHere);
  }
}

}  // namespace
}  // namespace tarvek
