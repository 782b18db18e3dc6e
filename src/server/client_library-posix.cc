#include "server/client_library.h"

#include "util/ident.h"

TARVEK_IDENT("@(#)client_library-posix.cc 1.1 2026/12/09")

namespace tarvek {

// rfsim is linked into the program.
bool bindClientLibrary(FILE* /*console*/) { return true; }

}  // namespace tarvek
