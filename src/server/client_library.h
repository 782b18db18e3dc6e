// The client library, made ready before the program object exists. On
// Windows tarvek.exe finds RFWIN32.dll itself, takes its 13 functions under
// whatever export names they carry, and calls them through forwarders that
// work with either calling convention (src/binding/,
// client_library-win32.cc). On other platforms rfsim is linked in and there
// is nothing to do.
#ifndef TARVEK_SERVER_CLIENT_LIBRARY_H_
#define TARVEK_SERVER_CLIENT_LIBRARY_H_

#include <stdio.h>

namespace tarvek {

/// True when the client library's functions can be called. Otherwise one
/// line beginning "*** " and naming what is wrong (the file and the
/// system's reason, the folders searched, or the missing function) has been
/// written to `console` and flushed.
bool bindClientLibrary(FILE* console);

}  // namespace tarvek

#endif  // TARVEK_SERVER_CLIENT_LIBRARY_H_
