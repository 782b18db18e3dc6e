#include "util/system_sleep.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)system_sleep-win32.cc 1.1 2026/12/10")

namespace tarvek {

void sleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace tarvek
