// The operating system's sleep, for the pause between connection attempts.
#ifndef TARVEK_SERVER_PAUSE_H_
#define TARVEK_SERVER_PAUSE_H_

#include <stdint.h>

namespace tarvek {

/// Blocks the calling thread for `milliseconds`.
void pauseMilliseconds(uint32_t milliseconds);

}  // namespace tarvek

#endif  // TARVEK_SERVER_PAUSE_H_
