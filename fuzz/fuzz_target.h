// The entry each fuzz target defines. libFuzzer calls it once per input, or
// in a test build replay_main.cc once per corpus file; a fault aborts, and
// the return value is always 0.
#ifndef TARVEK_FUZZ_FUZZ_TARGET_H_
#define TARVEK_FUZZ_FUZZ_TARGET_H_

#include <stddef.h>
#include <stdint.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

#endif  // TARVEK_FUZZ_FUZZ_TARGET_H_
