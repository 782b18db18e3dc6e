#include "rfsim/round_trip.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)round_trip-win32.cc 1.1 2026/12/09")

namespace rfsim {

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace rfsim
