#include "server/pause.h"

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)pause-win32.cc 1.1 2026/12/08")

namespace tarvek {

void pauseMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace tarvek
