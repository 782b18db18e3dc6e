#include <stddef.h>
#include <string.h>

#include <new>

#include "app/load_pool.h"
#include "app/user_list_program.h"
#include "app/walk_progress.h"
#include "app/wildcard.h"
#include "reports/user_lines.h"
#include "server/user_info_record.h"
#include "server/user_list_element.h"
#include "util/console.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)user_list_program_listing.cc 1.3 2026/12/09")

namespace tarvek {

namespace {

bool matchesAnyPattern(const char* userId, char** patterns) {
  if (patterns == nullptr || patterns[0] == nullptr) return true;
  for (char** pattern = patterns; *pattern != nullptr; ++pattern) {
    if (wildcardMatch(userId, *pattern)) return true;
  }
  return false;
}

// The progress line on the program's console.
class ConsoleProgress : public WalkProgress::Console {
 public:
  explicit ConsoleProgress(FILE* stream) : stream_(stream) {}
  size_t room() override { return consoleLineRoom(stream_); }
  bool show(const char* text, size_t size) override {
    return showConsoleLine(stream_, text, size);
  }
  void erase() override { eraseConsoleLine(); }

 private:
  FILE* stream_;
};

// A user load in this process, as with one connection.
class PoolLoader : public LoadPool::Loader {
 public:
  explicit PoolLoader(RFaxHandle server) : server_(server) {}
  RFaxResult load(const char* userId, unsigned char* record) override {
    return loadUserRecord(server_, userId, record);
  }

 private:
  RFaxHandle server_;
};

}  // namespace

// The pool's users, written in the walk's order.
class UserListProgram::PoolWriter : public LoadPool::Writer {
 public:
  PoolWriter(UserListProgram* program, WalkProgress* progress)
      : program_(program), progress_(progress) {}
  void write(const unsigned char* element, RFaxResult code,
             const unsigned char* record) override {
    ++written;
    progress_->serverCall(written);
    program_->writeLoadedUser(readElementTexts(element), code, record,
                              progress_);
  }
  int written = 0;

 private:
  UserListProgram* program_;
  WalkProgress* progress_;
};

void UserListProgram::writeLoadedUser(const ElementTexts& texts,
                                      RFaxResult loaded,
                                      const unsigned char* record,
                                      WalkProgress* progress) {
  if (loaded == 0) {
    if (format == Long) {
      writeLong(record);
    } else {
      writeLongCsv(record);
    }
  } else {
    TextBuffer& line = scratch_;
    line.clear();
    appendUnloadedUser(texts, output != console, &line);
    line.writeTo(output);
    progress->erase();
    writeText(console, "*** Cannot retrieve info for user\n");
  }
  checkOutput();
}

bool UserListProgram::listUsers(char** patterns) {
  if (format != Short) say("Retrieving user list...\n");

  RFaxHandle list = 0;
  if (RFaxGetUserList(serverHandle, 1, &list) != 0) {
    say("*** Can't retrieve the user list\n");
    return false;
  }
  if (sortList &&
      RFaxListSort(list, format == Short ? compareByUserId
                                         : compareByGroupThenUserId) != 0) {
    say("*** Can't sort the user-ID list\n");
  }
  if (format == Long) writeLong(nullptr);
  if (format == LongCsv) writeLongCsv(nullptr);
  checkOutput();

  bool filterGroup = groupPattern != nullptr && groupPattern[0] != '\0';
  unsigned char record[kUserInfoSize];
  TextBuffer& line = scratch_;
  int count = 0;
  unsigned char* element = nullptr;
  // A report into a file leaves the console silent for as long as the walk
  // takes: a console shows how far it has come. Not when the report goes to
  // a console too (-o /dev/tty, -o CON): its lines would run into the line.
  ConsoleProgress onConsole(console);
  bool showProgress =
      output != console && !mayBeConsole(output) && consoleColumns(console) > 0;
  WalkProgress progress(
      showProgress ? &onConsole : nullptr, monotonicMilliseconds,
      filterGroup || (patterns != nullptr && patterns[0] != nullptr));
  // More than one connection: the loads go through a pool.
  PoolLoader poolLoader(serverHandle);
  PoolWriter poolWriter(this, &progress);
  LoadPool* pool = nullptr;
  if ((format == Long || format == LongCsv) && connections_ > 1 &&
      serverName != nullptr) {
    pool =
        new (std::nothrow) LoadPool(makeLoadHelpers(), connections_, serverName,
                                    &poolLoader, &poolWriter, nullptr);
  }
  for (RFaxResult fetched = RFaxListGetFirstElementPtr(list, &element);
       fetched == 0 && element != nullptr;
       fetched = RFaxListGetNextElementPtr(list, &element)) {
    progress.element(pool != nullptr && pool->active() ? poolWriter.written
                                                       : count);
    ElementTexts texts = readElementTexts(element);
    if (filterGroup && !wildcardMatch(terminated<kElementGroupIdRoom>(
                                          texts.groupId, texts.groupIdLength)
                                          .text,
                                      groupPattern))
      continue;
    TerminatedText<kElementUserIdRoom> userId =
        terminated<kElementUserIdRoom>(texts.userId, texts.userIdLength);
    if (!matchesAnyPattern(userId.text, patterns)) continue;
    ++count;

    switch (format) {
      case Short:
        line.clear();
        appendShortLine(texts, &line);
        line.writeTo(output);
        break;
      case Long:
      case LongCsv: {
        if (pool != nullptr && pool->active()) {
          pool->add(element);
          break;
        }
        memset(record, 0, sizeof record);
        RFaxResult loaded = loadUserRecord(serverHandle, userId.text, record);
        progress.serverCall(count);
        writeLoadedUser(texts, loaded, record, &progress);
        if (pool != nullptr) {
          pool->loadedHere();
          poolWriter.written = count;
        }
        break;
      }
      default:
        line.clear();
        appendDefaultLine(count, texts, &line);
        line.writeTo(output);
        break;
    }
  }
  if (pool != nullptr) pool->finish();
  delete pool;
  progress.erase();

  fflush(output);
  checkOutput();
  fflush(console);
  RFaxCloseListHandle(list);
  if (format != Short) printText(console, "Users: %d\n", count);
  fflush(console);
  return true;
}

}  // namespace tarvek
