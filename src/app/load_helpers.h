// Load helpers: copies of tarvek started to load users over connections of
// their own, and the link each has with the process that started it. A
// helper is tarvek started with an inherited link (a socket on POSIX, a pipe
// on Windows) that holds a greeting written before it started, and an
// environment variable that names the link; no command line reaches that
// mode, and a variable alone, without its link and greeting, doesn't
// either. A helper ends when its link closes, and with the process that
// started it (POSIX: the parent-death signal; Windows: a job object).
// Platform files: load_helpers-posix.cc, load_helpers-win32.cc.
#ifndef TARVEK_APP_LOAD_HELPERS_H_
#define TARVEK_APP_LOAD_HELPERS_H_

#include <stddef.h>

namespace tarvek {

/// The most helpers of a run.
constexpr int kMostHelpers = 16;
/// Milliseconds the helpers get to close their connections at the end.
constexpr int kHelpersEndingWait = 5000;

/// The helpers of one run, as the process that starts them sees them:
/// numbered from 0.
class LoadHelpers {
 public:
  virtual ~LoadHelpers() = default;
  /// Starts a helper whose link holds `greeting` before it runs; its
  /// number, or -1 when none could be started.
  virtual int start(const unsigned char* greeting, size_t size) = 0;
  /// Sends `size` bytes; false when the helper is gone.
  virtual bool send(int helper, const unsigned char* bytes, size_t size) = 0;
  /// What has arrived, without waiting, at most `room` bytes: their count,
  /// 0 when nothing has, -1 when the helper is gone (ended, killed, its link
  /// broken).
  virtual long receive(int helper, unsigned char* bytes, size_t room) = 0;
  /// Waits until one of the `count` helpers in `helpers` has something to
  /// receive or is gone.
  virtual void wait(const int* helpers, size_t count) = 0;
  /// Closes the helper's link; it ends. Once all are ended, waits a short
  /// while for them to close their connections, then kills any left.
  virtual void end(int helper) = 0;
  virtual void endAll() = 0;
};

/// The system's helpers; null when there's no memory for them.
LoadHelpers* makeLoadHelpers();

/// The link of a helper to the process that started it.
class ParentLink {
 public:
  virtual ~ParentLink() = default;
  /// Reads up to `room` bytes, waiting for at least one: their count, or
  /// 0 at the link's end or on a failure.
  virtual size_t read(unsigned char* bytes, size_t room) = 0;
  /// Writes all `size` bytes; false when the link is broken.
  virtual bool write(const unsigned char* bytes, size_t size) = 0;
};

/// When this process was started as a load helper: its link, the
/// `greeting` (`size` bytes) read from it. Null for any ordinary run: no
/// variable, or a variable whose link doesn't hold the greeting right now
/// (nothing waits). The variable is removed from the environment either way.
ParentLink* takeParentLink(const unsigned char* greeting, size_t size);

}  // namespace tarvek

#endif  // TARVEK_APP_LOAD_HELPERS_H_
