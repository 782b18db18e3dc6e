#include "server/pause.h"

#include <chrono>
#include <thread>

#include "util/ident.h"

TARVEK_IDENT("@(#)pause-posix.cc 1.1 2026/12/08")

namespace tarvek {

void pauseMilliseconds(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace tarvek
