#include "app/load_pool.h"

#include <stdlib.h>
#include <string.h>

#include <new>

#include "app/walk_progress.h"
#include "util/bytes.h"
#include "util/console.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)load_pool.cc 1.1 2026/12/10")

// The link's messages, integers little-endian:
//   greeting   8 bytes kGreeting, u32 host length, the host's bytes
//   request    u32 tag, u8 user ID length, the user ID's bytes
//   answer     u32 tag, i32 RFaxLoadUser's code, the record when it is 0
//   ready      u32 kReadyTag, i32 kReadyCode: the helper is connected
// A helper gets users only once it is ready, so that a slow start doesn't
// hold the walk up.

namespace tarvek {

namespace {

constexpr int kNobody = -1;  // not handed out yet
constexpr int kHere = -2;    // loaded by this process when its turn comes
constexpr size_t kAnswerHead = 8;
constexpr size_t kRequestHead = 5;
constexpr uint32_t kReadyTag = 0xFFFFFFFFu;
constexpr int32_t kReadyCode = -1;

bool blank(char c) { return c == ' ' || c == '\t'; }

// Areas handed to the user load; the library never reads or writes them.
char loadArea1[4];
char loadArea2[4];

// An element's user ID, zero-terminated.
TerminatedText<kElementUserIdRoom> userIdOf(const unsigned char* element) {
  ElementTexts texts = readElementTexts(element);
  return terminated<kElementUserIdRoom>(texts.userId, texts.userIdLength);
}

bool readAll(ParentLink* link, unsigned char* bytes, size_t size) {
  while (size > 0) {
    size_t got = link->read(bytes, size);
    if (got == 0) return false;
    bytes += got;
    size -= got;
  }
  return true;
}

uint64_t monotonicMicroseconds() { return monotonicMilliseconds() * 1000; }

}  // namespace

RFaxResult loadUserRecord(RFaxHandle server, const char* userId,
                          unsigned char* record) {
  return RFaxLoadUser(server, 0, userId, loadArea1, loadArea2, record);
}

const unsigned char LoadPool::kGreeting[8] = {'t', 'a', 'r', 'v',
                                              'e', 'k', 'L', '1'};

bool parseConnections(const char* text, int* connections) {
  *connections = 1;
  if (text == nullptr) return true;
  while (blank(*text)) ++text;
  size_t length = strlen(text);
  while (length > 0 && blank(text[length - 1])) --length;
  if (length == 0) return true;
  int value = 0;
  for (size_t i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > kMostConnections) return false;
  }
  if (value < 1) return false;
  *connections = value;
  return true;
}

bool readConnections(FILE* console, int* connections) {
  const char* value = getenv(kConnectionsVariable);
  if (parseConnections(value, connections)) return true;
  printText(console, "*** %s must be a number from 1 to %d, not \"%s\"\n",
            kConnectionsVariable, kMostConnections, value);
  fflush(console);
  return false;
}

struct LoadPool::Entry {
  const unsigned char* element;
  int owner;
  bool done;
  RFaxResult code;
  unsigned char record[kUserInfoSize];
};

struct LoadPool::Helper {
  int number;
  bool alive;
  bool ready;
  // The tags of the users it holds, in the order it answers them.
  uint32_t held[kHeld];
  size_t heldFirst;
  size_t heldCount;
  // The answer arriving.
  unsigned char answer[kAnswerHead + kUserInfoSize];
  size_t filled;
};

LoadPool::LoadPool(LoadHelpers* helpers, int connections, const char* host,
                   Loader* loader, Writer* writer, Clock clock)
    : helpers_(helpers),
      connections_(connections),
      host_(host),
      loader_(loader),
      writer_(writer),
      clock_(clock != nullptr ? clock : monotonicMicroseconds) {
  mark_ = clock_();
}

LoadPool::~LoadPool() {
  if (helpers_ != nullptr) helpers_->endAll();
  delete helpers_;
  delete[] helper_;
  delete[] window_;
}

LoadPool::Entry& LoadPool::at(size_t position) {
  return window_[position % kWindow];
}

void LoadPool::loadHere(Entry* entry) {
  memset(entry->record, 0, sizeof entry->record);
  entry->code = loader_->load(userIdOf(entry->element).text, entry->record);
  entry->done = true;
}

void LoadPool::add(const unsigned char* element) {
  while (size_ == kWindow) advance();
  push(element);
  dispatch();
  collect();
  writeDone();
  if (size_ > 0 && at(first_).owner < 0) advance();
}

// The walk's time is read every kSample users, a small cost beside a
// user's on a fast server; on a slow one it is the loads' time.
void LoadPool::loadedHere() {
  if (tried_ || ++sampled_ < kSample) return;
  uint64_t now = clock_();
  loadTime_ += now - mark_;
  loads_ += sampled_;
  sampled_ = 0;
  mark_ = now;
  if (loadTime_ < kGainAfter) return;
  if (loadTime_ >= loads_ * kSlowLoad) {
    startHelpers();
  } else {
    loadTime_ = 0;
    loads_ = 0;
  }
}

void LoadPool::finish() {
  if (window_ != nullptr) {
    while (size_ > 0) advance();
  }
  if (helpers_ != nullptr) helpers_->endAll();
}

void LoadPool::startHelpers() {
  tried_ = true;
  if (helpers_ == nullptr || connections_ < 2) return;
  size_t hostLength = strlen(host_);
  if (hostLength > kMostHost) return;
  size_t size = sizeof kGreeting + 4 + hostLength;
  unsigned char* greeting = new (std::nothrow) unsigned char[size];
  window_ = new (std::nothrow) Entry[kWindow];
  helper_ = new (std::nothrow) Helper[static_cast<size_t>(connections_ - 1)];
  if (greeting != nullptr && window_ != nullptr && helper_ != nullptr) {
    memcpy(greeting, kGreeting, sizeof kGreeting);
    writeU32(greeting + sizeof kGreeting, static_cast<uint32_t>(hostLength));
    memcpy(greeting + sizeof kGreeting + 4, host_, hostLength);
    for (int i = 0; i + 1 < connections_; ++i) {
      int number = helpers_->start(greeting, size);
      if (number < 0) continue;
      Helper& helper = helper_[helperCount_++];
      helper.number = number;
      helper.alive = true;
      helper.ready = false;
      helper.heldFirst = 0;
      helper.heldCount = 0;
      helper.filled = 0;
    }
  }
  delete[] greeting;
  started_ = helperCount_;
  if (helperCount_ == 0) {
    delete[] window_;
    window_ = nullptr;
  }
}

void LoadPool::push(const unsigned char* element) {
  uint32_t tag = sequence_++;
  if (size_ == 0) first_ = tag;
  Entry& entry = at(tag);
  entry.element = element;
  // Every few users are this process's own, so that it loads while the
  // helpers do.
  entry.owner = tag % static_cast<uint32_t>(ready_ + 1) == 0 ? kHere : kNobody;
  entry.done = false;
  ++size_;
}

void LoadPool::dispatch() {
  size_t next = 0;
  for (int h = 0; h < helperCount_; ++h) {
    Helper& helper = helper_[h];
    while (helper.alive && helper.ready && helper.heldCount < kHeld) {
      while (next < size_ && at(first_ + next).owner != kNobody) ++next;
      if (next == size_) return;
      uint32_t tag = static_cast<uint32_t>(first_ + next);
      Entry& entry = at(tag);
      ElementTexts texts = readElementTexts(entry.element);
      unsigned char request[kRequestHead + kElementUserIdRoom];
      writeU32(request, tag);
      request[4] = static_cast<unsigned char>(texts.userIdLength);
      memcpy(request + kRequestHead, texts.userId, texts.userIdLength);
      if (!helpers_->send(helper.number, request,
                          kRequestHead + texts.userIdLength)) {
        drop(&helper);
        break;
      }
      entry.owner = h;
      helper.held[(helper.heldFirst + helper.heldCount++) % kHeld] = tag;
    }
  }
}

void LoadPool::collect() {
  for (int h = 0; h < helperCount_; ++h) {
    if (helper_[h].alive) collectFrom(&helper_[h]);
  }
}

void LoadPool::collectFrom(Helper* helper) {
  for (;;) {
    size_t want = kAnswerHead;
    if (helper->filled >= kAnswerHead && readI32(helper->answer + 4) == 0)
      want += kUserInfoSize;
    long got = helpers_->receive(
        helper->number, helper->answer + helper->filled, want - helper->filled);
    if (got < 0) {
      drop(helper);
      return;
    }
    if (got == 0) return;
    helper->filled += static_cast<size_t>(got);
    if (helper->filled < want) continue;
    if (want == kAnswerHead && readI32(helper->answer + 4) == 0) continue;
    uint32_t tag = readU32(helper->answer);
    if (!helper->ready) {
      if (tag != kReadyTag || readI32(helper->answer + 4) != kReadyCode) {
        drop(helper);
        return;
      }
      helper->ready = true;
      ++ready_;
      helper->filled = 0;
      continue;
    }
    // A whole answer: for the first user the helper holds, or it is dropped.
    if (helper->heldCount == 0 || helper->held[helper->heldFirst] != tag) {
      drop(helper);
      return;
    }
    Entry& entry = at(tag);
    entry.code = readI32(helper->answer + 4);
    if (entry.code == 0)
      memcpy(entry.record, helper->answer + kAnswerHead, kUserInfoSize);
    entry.done = true;
    helper->heldFirst = (helper->heldFirst + 1) % kHeld;
    --helper->heldCount;
    helper->filled = 0;
  }
}

void LoadPool::drop(Helper* helper) {
  helper->alive = false;
  if (helper->ready) --ready_;
  for (size_t i = 0; i < helper->heldCount; ++i)
    at(helper->held[(helper->heldFirst + i) % kHeld]).owner = kHere;
  helper->heldCount = 0;
  helpers_->end(helper->number);
}

void LoadPool::writeDone() {
  while (size_ > 0 && at(first_).done) {
    Entry& entry = at(first_);
    writer_->write(entry.element, entry.code, entry.record);
    ++first_;
    --size_;
  }
}

void LoadPool::advance() {
  collect();
  writeDone();
  dispatch();
  if (size_ == 0) return;
  Entry& first = at(first_);
  if (first.owner < 0) {
    loadHere(&first);
  } else {
    int waited[kMostConnections];
    size_t count = 0;
    for (int h = 0; h < helperCount_; ++h) {
      if (helper_[h].alive && helper_[h].heldCount > 0)
        waited[count++] = helper_[h].number;
    }
    if (count > 0) helpers_->wait(waited, count);
    collect();
  }
  writeDone();
  dispatch();
}

int serveLoads(ParentLink* parent) {
  unsigned char number[4];
  if (!readAll(parent, number, sizeof number)) return 0;
  uint32_t hostLength = readU32(number);
  if (hostLength > LoadPool::kMostHost) return 0;
  char* host = new (std::nothrow) char[hostLength + 1];
  if (host == nullptr ||
      !readAll(parent, reinterpret_cast<unsigned char*>(host), hostLength)) {
    delete[] host;
    return 0;
  }
  host[hostLength] = '\0';
  int32_t error = 0;
  RFaxHandle server = RFaxCreateServerHandle(host, 4, &error);
  delete[] host;
  if (server == 0) return 0;
  unsigned char ready[kAnswerHead];
  writeU32(ready, kReadyTag);
  writeU32(ready + 4, static_cast<uint32_t>(kReadyCode));
  if (!parent->write(ready, sizeof ready)) {
    RFaxCloseServerHandle(server);
    return 0;
  }

  unsigned char request[kRequestHead + kElementUserIdRoom];
  static unsigned char answer[kAnswerHead + kUserInfoSize];
  while (readAll(parent, request, kRequestHead)) {
    size_t length = request[4];
    if (length > kElementUserIdRoom ||
        !readAll(parent, request + kRequestHead, length))
      break;
    TerminatedText<kElementUserIdRoom> userId = terminated<kElementUserIdRoom>(
        reinterpret_cast<const char*>(request + kRequestHead), length);
    unsigned char* record = answer + kAnswerHead;
    memset(record, 0, kUserInfoSize);
    RFaxResult code = loadUserRecord(server, userId.text, record);
    memcpy(answer, request, 4);
    writeU32(answer + 4, static_cast<uint32_t>(code));
    if (!parent->write(answer, kAnswerHead + (code == 0 ? kUserInfoSize : 0)))
      break;
  }
  RFaxCloseServerHandle(server);
  return 0;
}

}  // namespace tarvek
