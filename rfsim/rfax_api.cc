// The 13 functions of the client library as rfsim serves them
// (rfsim/README.md). Where the contract is silent:
//
// - The fixed arguments (mode 4, release 0x520, kind 1, the zeros, level 11)
//   are not checked; RFaxVersionCheck always compares with 5.20.
// - A handle is checked first (code 4, nothing else done). A null place for a
//   result or a null comparator then gives code 4 too, as rfsim has no code
//   of its own for a bad argument; a null user ID is a user not found (5).
//   A null `error` of RFaxCreateServerHandle is simply not written.
// - Injected faults come after the argument checks.
// - Every connection attempt replaces the [Errors] texts: with those of the
//   server it read without error (whether or not a fault then fails it), or
//   with none when the host is not found or its file is invalid.
// - A failing call writes nothing to its result places (an element fetch at
//   the end leaves the caller's pointer as it was).
// - RFaxListGetNextElementPtr before any RFaxListGetFirstElementPtr delivers
//   the first element; RFaxListSort starts the walk again.
// - The server's latency is waited for by every call that reaches a server
//   (a handle, a file read without error), also when an injected fault then
//   fails it; a call refused for its arguments answers at once.
#include "server/rfax_api.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <new>
#include <utility>

#include "rfsim/list_sort.h"
#include "rfsim/registry.h"
#include "rfsim/server_file.h"
#include "rfsim/server_model.h"
#include "rfsim/server_source.h"
#include "rfsim/test_hook.h"
#include "server/records.h"
#include "util/ascii.h"
#include "util/bytes.h"
#include "util/ident.h"
#include "util/system_sleep.h"

TARVEK_IDENT("@(#)rfax_api.cc 1.16 2026/12/09")

namespace {

using rfsim::Registry;

constexpr RFaxResult kNotFound = 1;
constexpr RFaxResult kBadFile = 3;
constexpr RFaxResult kBadHandle = 4;
constexpr RFaxResult kNoUser = 5;
constexpr RFaxResult kEndOfList = 6;
constexpr RFaxResult kOldRelease = 7;

constexpr int32_t kDefaultApiVersion = 1200000000;

// How a round trip waits: the system's sleep, or the unit tests' hook.
void (*roundTripWait)(uint32_t) = tarvek::sleepMilliseconds;

// The wait of a call that goes to `model`'s server.
void roundTrip(const rfsim::ServerModel& model) {
  if (model.latency > 0) roundTripWait(model.latency);
}

void setFileError(const std::string& fileName, unsigned line,
                  const std::string& what) {
  Registry::instance().setFileError("Invalid server file: " + fileName +
                                    " line " + std::to_string(line) + ": " +
                                    what);
}

// Reads and checks the server `host` leads to; null with `*code` set when it
// can't be used.
std::unique_ptr<rfsim::ServerModel> readServer(const char* host,
                                               std::string* counterKey,
                                               RFaxResult* code) {
  Registry& registry = Registry::instance();
  registry.setErrorTexts(rfsim::TextIndex());
  rfsim::ServerSource source = rfsim::findServer(host);
  if (source.kind == rfsim::SourceKind::NotFound) {
    *code = kNotFound;
    return nullptr;
  }
  if (source.kind == rfsim::SourceKind::Unreadable) {
    setFileError(source.fileName, 0, source.unreadable);
    *code = kBadFile;
    return nullptr;
  }
  std::unique_ptr<rfsim::ServerModel> model(new (std::nothrow)
                                                rfsim::ServerModel);
  rfsim::ParseError error;
  bool parsed = false;
  if (!model) {
    error.what = rfsim::kOutOfMemoryPhrase;
  } else if (source.file) {
    parsed = rfsim::parseServerStream(source.file, model.get(), &error);
  } else {
    parsed = rfsim::parseServerFile(source.text, source.textLength, model.get(),
                                    &error);
  }
  if (source.file) fclose(source.file);
  if (!parsed) {
    model.reset();  // its memory back before the text is made
    setFileError(source.fileName, error.line, error.what);
    *code = kBadFile;
    return nullptr;
  }
  registry.setErrorTexts(std::move(model->errorTexts));
  *counterKey = std::move(source.counterKey);
  return model;
}

// Writes the first (or next) element of the walk.
RFaxResult fetchElement(RFaxHandle list, bool first, unsigned char** element) {
  rfsim::OpenList* open = Registry::instance().list(list);
  if (!open || !element) return kBadHandle;
  if (first) open->next = 0;
  if (open->next >= open->limit) return kEndOfList;
  unsigned char* elements = open->elements.data();
  *element = rfsim::elementAt(elements, open->order[open->next]);
  // After a sort the walk jumps around the elements: fetch ahead.
  size_t ahead = open->next + rfsim::kPrefetchDistance;
  if (ahead < open->limit)
    rfsim::prefetchElement(rfsim::elementAt(elements, open->order[ahead]));
  ++open->next;
  return 0;
}

RFaxResult loadUser(RFaxHandle server, const char* userId,
                    unsigned char* record) {
  const rfsim::ServerModel* model = Registry::instance().server(server);
  if (!model || !record) return kBadHandle;
  roundTrip(*model);
  if (!userId || model->loadFails(userId)) return kNoUser;
  return model->loadUser(userId, record) ? 0 : kNoUser;
}

}  // namespace

void rfsimResetForTests() { Registry::instance().reset(); }

void rfsimSetRoundTripForTests(void (*wait)(uint32_t)) {
  roundTripWait = wait ? wait : tarvek::sleepMilliseconds;
}

int32_t RFAX_CALL RFaxGetAPIVersion(void) {
  const char* text = getenv("RFSIM_API_VERSION");
  int32_t version = 0;
  if (text && rfsim::parseDecimalI32(text, strlen(text), &version))
    return version;
  return kDefaultApiVersion;
}

RFaxHandle RFAX_CALL RFaxCreateServerHandle(const char* server,
                                            int32_t /*mode*/, int32_t* error) {
  RFaxResult code = 0;
  std::string counterKey;
  std::unique_ptr<rfsim::ServerModel> model =
      readServer(server, &counterKey, &code);
  RFaxHandle handle = 0;
  if (model) {
    roundTrip(*model);
    Registry& registry = Registry::instance();
    uint32_t attempt = registry.countAttempt(counterKey);
    const rfsim::Faults& faults = model->faults;
    if (faults.connectAlwaysFails || attempt <= faults.connectFailures) {
      code = faults.connectError;
    } else {
      if (!model->hasName) {
        model->name = server;
        for (char& c : model->name) c = tarvek::upperLetter(c);
      }
      handle = registry.addServer(std::move(model));
    }
  }
  if (error) *error = code;
  return handle;
}

RFaxResult RFAX_CALL RFaxVersionCheck(RFaxHandle server, int32_t /*release*/,
                                      int32_t /*reserved*/) {
  const rfsim::ServerModel* model = Registry::instance().server(server);
  if (!model) return kBadHandle;
  roundTrip(*model);
  return model->releaseAtLeast(5, 20) ? 0 : kOldRelease;
}

RFaxResult RFAX_CALL RFaxGetServerInfo2(RFaxHandle server,
                                        unsigned char* record) {
  const rfsim::ServerModel* model = Registry::instance().server(server);
  if (!model || !record) return kBadHandle;
  roundTrip(*model);
  if (model->faults.serverInfoError != 0) return model->faults.serverInfoError;
  memset(record, 0, tarvek::kServerInfoSize);
  size_t length = model->name.size() < tarvek::kServerNameRoom
                      ? model->name.size()
                      : tarvek::kServerNameRoom - 1;
  memcpy(record + tarvek::kServerNameOffset, model->name.data(), length);
  tarvek::writeU16(record + tarvek::kZoneStateOffset,
                   static_cast<uint16_t>(model->zoneState));
  tarvek::writeU32(record + tarvek::kBiasOffset,
                   static_cast<uint32_t>(model->bias));
  tarvek::writeU32(record + tarvek::kStandardBiasOffset,
                   static_cast<uint32_t>(model->standardBias));
  tarvek::writeU32(record + tarvek::kDaylightBiasOffset,
                   static_cast<uint32_t>(model->daylightBias));
  return 0;
}

RFaxResult RFAX_CALL RFaxStringRFaxErr(RFaxResult code, char* buffer,
                                       int32_t size) {
  if (!buffer || size <= 0) return 0;
  Registry::instance().copyErrorText(code, buffer, static_cast<size_t>(size));
  return 0;
}

RFaxResult RFAX_CALL RFaxCloseServerHandle(RFaxHandle server) {
  Registry& registry = Registry::instance();
  if (const rfsim::ServerModel* model = registry.server(server))
    roundTrip(*model);
  return registry.closeServer(server) ? 0 : kBadHandle;
}

// RFSIM_WITHOUT_GET_USER_LIST and RFSIM_WITHOUT_LOAD_USER3 build the DLLs
// that lack a function, for the Windows lane; RFSIM_FAULT_IN_GET_USER_LIST
// the one that crashes in it (a write through a null pointer).
#ifndef RFSIM_WITHOUT_GET_USER_LIST
RFaxResult RFAX_CALL RFaxGetUserList(RFaxHandle server, int32_t /*kind*/,
                                     RFaxHandle* list) {
#if defined(RFSIM_FAULT_IN_GET_USER_LIST)
  int* volatile nowhere = nullptr;
  *nowhere = 1;
#endif
  Registry& registry = Registry::instance();
  const rfsim::ServerModel* model = registry.server(server);
  if (!model || !list) return kBadHandle;
  roundTrip(*model);
  if (model->faults.userListError != 0) return model->faults.userListError;
  // A list whose memory can't be had fails like a bad file.
  std::unique_ptr<rfsim::OpenList> open(new (std::nothrow) rfsim::OpenList);
  size_t count = model->userCount();
  if (!open || count > SIZE_MAX / tarvek::kElementSize ||
      !open->elements.resize(count * tarvek::kElementSize) ||
      !open->order.resize(count))
    return kBadFile;
  open->server = server;
  model->writeElements(open->elements.data());
  for (size_t i = 0; i < count; ++i) open->order[i] = static_cast<uint32_t>(i);
  open->limit = count;
  if (model->faults.listEnds && model->faults.listEndsAfter < count)
    open->limit = model->faults.listEndsAfter;
  open->sortError = model->faults.sortError;
  *list = registry.addList(std::move(open));
  return 0;
}
#endif

#if defined(RFAX_EXPORTS) && !defined(RFSIM_PLAIN_SORT)
namespace {
// The caller's comparator during a sort, called in the DLL's callback
// convention.
RFaxCompareFn callerCompare;
int compareWithCaller(const void* a, const void* b) {
  return callerCompare(a, b);
}
}  // namespace
#endif

#if defined(RFSIM_PLAIN_SORT)
namespace {
// The plain-sort build's own sort (RFSIM_PLAIN_SORT, with
// RFSIM_CDECL_CALLBACK: stdcall functions that call the comparator as
// plain C), built -O2 -fomit-frame-pointer: a stable selection sort of the
// order, quadratic, for the lane's small lists.
//
// Handed a __stdcall comparator, it breaks the same way in every build:
// the comparator pops its two arguments, so after the first comparison esp
// stands 8 bytes above where this code, addressing its frame through esp,
// believes it is. The only thing it keeps in its frame is `block` below
// (volatile: read from there at every comparison); 8 bytes above its
// address lies its element count, so every later comparison reads the
// count as the address and hands the comparator pointers below 64 KiB
// (count + number * 82, for lists of up to 790 users), which Windows
// never maps: the comparator faults as it reads them, inside the caller's
// code. The comparator and the loop's state are volatile globals, read from
// their fixed addresses at every step, so neither the call nor the sort's
// own reads go astray before that.
struct SortBlock {
  const unsigned char* elements;
  size_t size;
  size_t count;
};
RFaxCompareFn volatile sortCompare;
uint32_t* volatile sortOrder;
volatile size_t sortCount, sortPlace, sortNext, sortLeast;

void plainSort(const unsigned char* elements, uint32_t* order, size_t count) {
  volatile SortBlock block = {elements, tarvek::kElementSize, count};
  sortOrder = order;
  sortCount = count;
  for (sortPlace = 0; sortPlace < sortCount; sortPlace = sortPlace + 1) {
    sortLeast = sortPlace;
    for (sortNext = sortPlace + 1; sortNext < sortCount;
         sortNext = sortNext + 1) {
      const unsigned char* base = block.elements;
      if (sortCompare(rfsim::elementAt(base, sortOrder[sortNext]),
                      rfsim::elementAt(base, sortOrder[sortLeast])) < 0)
        sortLeast = sortNext;
    }
    // The least one to the front of the rest, the others keep their order.
    uint32_t least = sortOrder[sortLeast];
    for (size_t k = sortLeast; k > sortPlace; --k)
      sortOrder[k] = sortOrder[k - 1];
    sortOrder[sortPlace] = least;
  }
}
}  // namespace
#endif

RFaxResult RFAX_CALL RFaxListSort(RFaxHandle list, RFaxCompareFn compare) {
  rfsim::OpenList* open = Registry::instance().list(list);
  if (!open || !compare) return kBadHandle;
  if (open->sortError != 0) return open->sortError;
#if defined(RFSIM_PLAIN_SORT)
  sortCompare = compare;
  plainSort(open->elements.data(), open->order.data(), open->order.size());
#else
#if defined(RFAX_EXPORTS)
  callerCompare = compare;
  rfsim::ElementCompare sortCompare = compareWithCaller;
#else
  rfsim::ElementCompare sortCompare = compare;
#endif
  if (!rfsim::stableSort(open->elements.data(), &open->order, sortCompare))
    return kBadFile;
#endif
  open->next = 0;
  return 0;
}

RFaxResult RFAX_CALL RFaxListGetFirstElementPtr(RFaxHandle list,
                                                unsigned char** element) {
  return fetchElement(list, true, element);
}

RFaxResult RFAX_CALL RFaxListGetNextElementPtr(RFaxHandle list,
                                               unsigned char** element) {
  return fetchElement(list, false, element);
}

RFaxResult RFAX_CALL RFaxCloseListHandle(RFaxHandle list) {
  return Registry::instance().closeList(list) ? 0 : kBadHandle;
}

RFaxResult RFAX_CALL RFaxLoadUser(RFaxHandle server, int32_t /*kind*/,
                                  const char* userId, char* /*area1*/,
                                  char* /*area2*/, unsigned char* record) {
  return loadUser(server, userId, record);
}

#ifndef RFSIM_WITHOUT_LOAD_USER3
RFaxResult RFAX_CALL RFaxLoadUser3(RFaxHandle server, int32_t /*kind*/,
                                   int32_t /*flags*/, const char* userId,
                                   int32_t /*reserved1*/, int32_t /*reserved2*/,
                                   int32_t /*reserved3*/, int32_t /*reserved4*/,
                                   int32_t /*level*/, unsigned char* record) {
  return loadUser(server, userId, record);
}
#endif
