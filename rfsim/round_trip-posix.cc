#include "rfsim/round_trip.h"

#include <chrono>
#include <thread>

#include "util/ident.h"

TARVEK_IDENT("@(#)round_trip-posix.cc 1.1 2026/12/09")

namespace rfsim {

void sleepMilliseconds(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace rfsim
