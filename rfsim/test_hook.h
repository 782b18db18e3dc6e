// Hooks of the library itself for the unit tests of rfsim and tarvek (they
// are compiled into rfsim, not exported from RFWIN32.dll).
#ifndef TARVEK_RFSIM_TEST_HOOK_H_
#define TARVEK_RFSIM_TEST_HOOK_H_

#include <stdint.h>

/// Closes every handle and forgets the connection-attempt counters and the
/// "most recent" error texts, as in a fresh process.
void rfsimResetForTests();

/// Makes every server round trip ([Server] Latency) call `wait` with its
/// milliseconds instead of sleeping; null sleeps again. A reset keeps it.
void rfsimSetRoundTripForTests(void (*wait)(uint32_t milliseconds));

#endif  // TARVEK_RFSIM_TEST_HOOK_H_
