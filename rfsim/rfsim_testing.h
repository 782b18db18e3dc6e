// For rfsim's own unit tests only; not exported from the library.
#ifndef TARVEK_RFSIM_RFSIM_TESTING_H_
#define TARVEK_RFSIM_RFSIM_TESTING_H_

/// Closes every handle and forgets the connection-attempt counters and the
/// "most recent" error texts, as in a fresh process.
void rfsimResetForTests();

#endif  // TARVEK_RFSIM_RFSIM_TESTING_H_
