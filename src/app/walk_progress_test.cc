#include "app/walk_progress.h"

#include <string>

#include <gtest/gtest.h>

namespace tarvek {
namespace {

uint64_t fakeNow;
int clockReads;
uint64_t fakeClock() {
  ++clockReads;
  return fakeNow;
}

// A console whose line shows the last text shown.
class FakeConsole : public WalkProgress::Console {
 public:
  size_t room() override { return width; }
  bool show(const char* text, size_t size) override {
    if (ended) return false;
    ++writes;
    EXPECT_LE(size, width) << "the line is longer than its room";
    row.assign(text, size);
    return true;
  }
  void erase() override { row.clear(); }
  std::string text() const { return row; }

  size_t width = 77;
  std::string row;
  int writes = 0;
  bool ended = false;
};

class WalkProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fakeNow = 5000;
    clockReads = 0;
  }
  // `count` elements, each listed.
  void walk(WalkProgress* progress, int* listed, int count) {
    for (int i = 0; i < count; ++i) progress->element((*listed)++);
  }
  FakeConsole console_;
};

TEST_F(WalkProgressTest,
       ShowsAfterASecondAtMostFourTimesASecondAndErasesWhole) {
  WalkProgress progress(&console_, fakeClock, false);
  int listed = 0;
  const uint32_t stride = WalkProgress::kStride;
  walk(&progress, &listed, stride - 1);
  EXPECT_EQ(clockReads, 1);  // the start only
  fakeNow += 999;
  walk(&progress, &listed, 1);
  EXPECT_EQ(clockReads, 2);
  EXPECT_EQ(console_.writes, 0);  // not yet a second
  fakeNow += 1;
  walk(&progress, &listed, stride);
  EXPECT_EQ(console_.text(), "Listing: 2047 users, 0:01");
  fakeNow += 249;
  walk(&progress, &listed, stride);
  EXPECT_EQ(console_.writes, 1);  // too soon for a change
  fakeNow += 1;
  walk(&progress, &listed, stride);
  EXPECT_EQ(console_.text(), "Listing: 4095 users, 0:01");

  // Each server call reads the clock.
  fakeNow += 3600 * 1000;
  int reads = clockReads;
  progress.serverCall(listed);
  EXPECT_EQ(clockReads, reads + 1);
  EXPECT_EQ(console_.text(), "Listing: 4096 users, 1:00:01");

  // A narrower room: the numbers alone; no room: nothing shown, the line
  // as it was.
  console_.width = 20;
  fakeNow += 250;
  progress.serverCall(listed);
  EXPECT_EQ(console_.text(), "4096 users, 1:00:01");
  console_.width = 0;
  fakeNow += 250;
  int writes = console_.writes;
  progress.serverCall(listed);
  EXPECT_EQ(console_.writes, writes);
  EXPECT_EQ(console_.text(), "4096 users, 1:00:01");
  console_.width = 77;

  progress.erase();
  EXPECT_EQ(console_.text(), "");
  fakeNow += 1;
  progress.serverCall(listed);
  EXPECT_EQ(console_.writes, writes);  // back no sooner than 250 ms after

  // Once the console takes no more, the line is gone for good.
  console_.ended = true;
  fakeNow += 1000;
  walk(&progress, &listed, stride);
  EXPECT_EQ(console_.writes, writes);
  reads = clockReads;
  walk(&progress, &listed, 4 * stride);
  progress.serverCall(listed);
  EXPECT_EQ(clockReads, reads);
}

TEST_F(WalkProgressTest, WithoutAConsoleTheClockIsNeverRead) {
  WalkProgress progress(nullptr, fakeClock, true);
  int listed = 0;
  walk(&progress, &listed, 3 * WalkProgress::kStride);
  progress.serverCall(listed);
  progress.erase();
  EXPECT_EQ(clockReads, 0);
}

TEST_F(WalkProgressTest, TextFitsTheRoom) {
  const struct {
    int listed;
    uint64_t elements;
    bool lookedAt;
    uint64_t milliseconds;
    size_t room;
    const char* text;
  } cases[] = {
      {1, 1, false, 1000, 79, "Listing: 1 user, 0:01"},
      {12345, 99999, true, 65000, 79,
       "Listing: 12345 users, 99999 looked at, 1:05"},
      {0, 7, true, 36061000, 79, "Listing: 0 users, 7 looked at, 10:01:01"},
      {12345, 99999, true, 65000, 40, "12345 users, 1:05"},
      {12345, 99999, true, 65000, 17, "12345 users, 1:05"},
      {12345, 99999, true, 65000, 8, "12345 us"},
      {12345, 99999, true, 65000, 0, ""},
  };
  for (const auto& c : cases) {
    char text[WalkProgress::kRoom];
    size_t size = WalkProgress::format(c.listed, c.elements, c.lookedAt,
                                       c.milliseconds, text, c.room);
    EXPECT_EQ(std::string(text, size), c.text);
  }
}

}  // namespace
}  // namespace tarvek
