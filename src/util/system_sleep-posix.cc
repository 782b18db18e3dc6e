#include "util/system_sleep.h"

#include <chrono>
#include <thread>

#include "util/ident.h"

TARVEK_IDENT("@(#)system_sleep-posix.cc 1.1 2026/12/10")

namespace tarvek {

void sleepMilliseconds(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace tarvek
