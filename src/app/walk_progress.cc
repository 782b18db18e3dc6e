#include "app/walk_progress.h"

#include <string.h>

#include <chrono>

#include "util/decimal.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)walk_progress.cc 1.1 2026/12/09")

namespace tarvek {

namespace {

// Appends text to a line of fixed room; what doesn't fit is cut.
struct Line {
  char* text;
  size_t room;
  size_t size = 0;

  void add(const char* part, size_t length) {
    if (length > room - size) length = room - size;
    memcpy(text + size, part, length);
    size += length;
  }
  void add(const char* part) { add(part, strlen(part)); }
  void number(uint64_t value, size_t width = 1) {
    char digits[kMaxDecimalDigits];
    add(digits, formatDecimal(value, width, digits));
  }
  // M:SS, or H:MM:SS from an hour on.
  void duration(uint64_t milliseconds) {
    uint64_t seconds = milliseconds / 1000;
    if (seconds >= 3600) {
      number(seconds / 3600);
      add(":");
      number(seconds / 60 % 60, 2);
    } else {
      number(seconds / 60);
    }
    add(":");
    number(seconds % 60, 2);
  }
};

}  // namespace

WalkProgress::WalkProgress(Console* console, Clock clock, bool lookedAt)
    : console_(console),
      clock_(clock),
      lookedAt_(lookedAt),
      countdown_(console != nullptr ? kStride : UINT32_MAX) {
  if (console_ != nullptr) start_ = clock_();
}

size_t WalkProgress::format(int listed, uint64_t elements, bool lookedAt,
                            uint64_t milliseconds, char* text, size_t room) {
  uint64_t users = listed > 0 ? static_cast<uint64_t>(listed) : 0;
  // The whole line; when the console is narrower, the numbers alone; when
  // even they don't fit, as much of them as does.
  char whole[kRoom];
  Line line{whole, sizeof whole};
  line.add("Listing: ");
  line.number(users);
  line.add(users == 1 ? " user" : " users");
  if (lookedAt) {
    line.add(", ");
    line.number(elements);
    line.add(" looked at");
  }
  line.add(", ");
  line.duration(milliseconds);
  if (line.size > room) {
    line.size = 0;
    line.number(users);
    line.add(users == 1 ? " user, " : " users, ");
    line.duration(milliseconds);
  }
  size_t size = line.size < room ? line.size : room;
  memcpy(text, whole, size);
  return size;
}

void WalkProgress::elementsCounted(int listed) {
  if (console_ == nullptr) {
    countdown_ = UINT32_MAX;
    return;
  }
  countdown_ = kStride;
  update(listed, clock_());
}

void WalkProgress::update(int listed, uint64_t now) {
  uint64_t age = now - start_;
  if (age < kFirstShow || now - lastShow_ < kInterval) return;
  lastShow_ = now;
  size_t room = console_->room();
  char text[kRoom];
  size_t size = format(listed, elements_, lookedAt_, age, text,
                       room < kRoom ? room : kRoom);
  if (size > 0 && !console_->show(text, size)) console_ = nullptr;
}

void WalkProgress::erase() {
  if (console_ != nullptr) console_->erase();
}

uint64_t monotonicMilliseconds() {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

}  // namespace tarvek
