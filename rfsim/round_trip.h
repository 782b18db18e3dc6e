// A server's round trip: how long a call that goes to the server waits
// before it answers ([Server] Latency).
#ifndef TARVEK_RFSIM_ROUND_TRIP_H_
#define TARVEK_RFSIM_ROUND_TRIP_H_

#include <stdint.h>

namespace rfsim {

/// Blocks the calling thread for `milliseconds` (the system's sleep).
void sleepMilliseconds(uint32_t milliseconds);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_ROUND_TRIP_H_
