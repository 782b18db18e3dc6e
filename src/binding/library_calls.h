// Calling the client library (Windows). The 13 names of server/rfax_api.h
// are forwarders to the functions taken from the loaded RFWIN32.dll: each
// call goes through a gate indifferent to the calling convention, the
// comparator reaches RFaxListSort in the convention the library calls it
// in, and a crash while a call runs is one line and the exception's code.
#ifndef TARVEK_BINDING_LIBRARY_CALLS_H_
#define TARVEK_BINDING_LIBRARY_CALLS_H_

#include <stdio.h>

#include "binding/calling_convention.h"

namespace tarvek {

/// From now on a crash while a library call runs (tarvek's comparator in
/// a sort included) writes its line to `console` and ends the process with
/// the exception's code; any other crash is left to the filter before.
/// Called again after loading, so that a filter the library installs as it
/// loads doesn't take the line's place.
void catchLibraryCrashes(FILE* console);

/// Takes each of the 13 functions from `module` (an HMODULE) under the
/// first export name it has (library_functions.h); false, with `*missing`
/// the name of the first required function it lacks.
bool takeLibraryFunctions(void* module, const char** missing);

/// The convention TARVEK_SORT_CALLBACK names for the comparator (kUnknown:
/// the library's functions decide).
void setSortCallbackConvention(CallbackConvention convention);

}  // namespace tarvek

#endif  // TARVEK_BINDING_LIBRARY_CALLS_H_
