// The operating system's sleep: the pause between connection attempts, a
// simulated server's round trip, the wait for a console line held by
// another thread.
#ifndef TARVEK_UTIL_SYSTEM_SLEEP_H_
#define TARVEK_UTIL_SYSTEM_SLEEP_H_

#include <stdint.h>

namespace tarvek {

/// Blocks the calling thread for `milliseconds`.
void sleepMilliseconds(uint32_t milliseconds);

}  // namespace tarvek

#endif  // TARVEK_UTIL_SYSTEM_SLEEP_H_
