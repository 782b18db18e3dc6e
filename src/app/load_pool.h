// The user loads of a long report over several connections
// (TARVEK_CONNECTIONS). Loads start in the walking process, one at a time
// as with one connection; once they have proved slow enough to gain, load
// helpers (app/load_helpers.h) each take users over a connection of their
// own while the walking process keeps loading every few users itself. The
// users come back in the walk's order, through a window of bounded size.
// The walking process loads a user only when every earlier one is written,
// and loads the users of a helper that is gone itself: the report is the
// same, even when the library crashes on a user.
#ifndef TARVEK_APP_LOAD_POOL_H_
#define TARVEK_APP_LOAD_POOL_H_

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include "app/load_helpers.h"
#include "server/rfax_api.h"
#include "server/user_info_record.h"
#include "server/user_list_element.h"

namespace tarvek {

/// The variable that asks for more than one connection.
constexpr char kConnectionsVariable[] = "TARVEK_CONNECTIONS";
constexpr int kMostConnections = 16;

/// Reads the variable's value: null, empty or blank give 1; a whole number
/// from 1 to kMostConnections (blanks around it ignored) gives itself.
/// False for any other text.
bool parseConnections(const char* text, int* connections);

/// Reads the variable from the environment. False, with
///   *** TARVEK_CONNECTIONS must be a number from 1 to 16, not "VALUE"
/// written to `console` and flushed, for a value it doesn't take.
bool readConnections(FILE* console, int* connections);

/// RFaxLoadUser of `userId` into `record` (kUserInfoSize bytes), as every
/// user load of a long report calls it.
RFaxResult loadUserRecord(RFaxHandle server, const char* userId,
                          unsigned char* record);

class LoadPool {
 public:
  /// Loads one user in this process: RFaxLoadUser's code, the record in
  /// `record` (kUserInfoSize bytes, zeroed before).
  class Loader {
   public:
    virtual ~Loader() = default;
    virtual RFaxResult load(const char* userId, unsigned char* record) = 0;
  };
  /// Takes the users in the walk's order.
  class Writer {
   public:
    virtual ~Writer() = default;
    /// `record` is the loaded record when `code` is 0.
    virtual void write(const unsigned char* element, RFaxResult code,
                       const unsigned char* record) = 0;
  };
  /// Microseconds of a clock that never goes back.
  using Clock = uint64_t (*)();

  /// Users in the window at most, and loads a helper holds at once.
  static constexpr size_t kWindow = 128;
  static constexpr size_t kHeld = 4;
  /// Helpers start once the walk's users have taken this long, if they
  /// took at least kSlowLoad each on average (the time is read every
  /// kSample users).
  static constexpr uint64_t kGainAfter = 500000;
  static constexpr uint64_t kSlowLoad = 500;
  static constexpr uint32_t kSample = 16;
  /// The longest host name handed to helpers (its greeting fits in any
  /// link's buffer); a longer one gets no helpers.
  static constexpr size_t kMostHost = 4096;

  /// `helpers` (owned; null: none) are started for `connections` - 1
  /// connections to `host` when loads are slow; `host` must outlive the
  /// pool.
  LoadPool(LoadHelpers* helpers, int connections, const char* host,
           Loader* loader, Writer* writer, Clock clock);
  ~LoadPool();
  LoadPool(const LoadPool&) = delete;
  LoadPool& operator=(const LoadPool&) = delete;

  /// True once helpers load: the walk's users go to add(). Before, the
  /// walk loads and writes them itself, as with one connection, and calls
  /// loadedHere() after each.
  bool active() const { return window_ != nullptr; }
  /// A user loaded by the walk before the pool is active: starts the
  /// helpers when the time has come.
  void loadedHere();
  /// The next user of the walk once active; `element` stays valid until
  /// finish(). Writes the users whose turn has come.
  void add(const unsigned char* element);
  /// Writes every user still held; ends the helpers.
  void finish();

  /// How many helpers were started (for tests).
  int helpersStarted() const { return started_; }

  /// The greeting a helper's link holds first.
  static const unsigned char kGreeting[8];

 private:
  struct Entry;
  struct Helper;

  void loadHere(Entry* entry);
  void startHelpers();
  void push(const unsigned char* element);
  void dispatch();
  void collect();
  void collectFrom(Helper* helper);
  void drop(Helper* helper);
  void writeDone();
  /// Loads the first user here when it is no helper's; else waits for one.
  void advance();
  Entry& at(size_t position);

  LoadHelpers* helpers_;
  int connections_;
  const char* host_;
  Loader* loader_;
  Writer* writer_;
  Clock clock_;

  // Before the helpers: the users' time and count since the last
  // decision, the clock's last reading, the users since.
  uint64_t loadTime_ = 0;
  uint64_t loads_ = 0;
  uint64_t mark_ = 0;
  uint32_t sampled_ = 0;
  bool tried_ = false;
  int started_ = 0;

  Entry* window_ = nullptr;
  size_t first_ = 0;
  size_t size_ = 0;
  uint32_t sequence_ = 0;
  Helper* helper_ = nullptr;
  int helperCount_ = 0;
  int ready_ = 0;
};

/// The life of a load helper after takeParentLink: reads the host, opens a
/// connection to it (one attempt), and loads the users it is sent until
/// its link ends. Returns the process's exit code.
int serveLoads(ParentLink* parent);

}  // namespace tarvek

#endif  // TARVEK_APP_LOAD_POOL_H_
