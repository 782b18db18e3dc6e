#include "app/standard_streams.h"

#include <stdio.h>

#include "util/console.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)standard_streams-win32.cc 1.2 2026/12/09")

namespace tarvek {
namespace {

// The buffer of Windows' C runtime for a redirected stream.
constexpr size_t kStreamBuffer = 4096;

}  // namespace

// The C runtime gives a console program without standard handles streams
// that fail on every write; a report file never takes their place.
void prepareStandardStreams() {
  if (!isConsole(stdout)) setvbuf(stdout, nullptr, _IOFBF, kStreamBuffer);
}

}  // namespace tarvek
