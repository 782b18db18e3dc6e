// A hook of the library itself for the unit tests of rfsim and tarvek (it
// is compiled into rfsim, not exported from RFWIN32.dll).
#ifndef TARVEK_RFSIM_TEST_HOOK_H_
#define TARVEK_RFSIM_TEST_HOOK_H_

/// Closes every handle and forgets the connection-attempt counters and the
/// "most recent" error texts, as in a fresh process.
void rfsimResetForTests();

#endif  // TARVEK_RFSIM_TEST_HOOK_H_
