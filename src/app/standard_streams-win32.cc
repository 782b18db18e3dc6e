#include "app/standard_streams.h"

#include "util/ident.h"

TARVEK_IDENT("@(#)standard_streams-win32.cc 1.1 2026/12/08")

namespace tarvek {

// The C runtime gives a console program without standard handles streams
// that fail on every write; a report file never takes their place.
void holdClosedStandardStreams() {}

}  // namespace tarvek
