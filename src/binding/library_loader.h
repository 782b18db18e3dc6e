// Finding RFWIN32.dll and loading it (Windows): the first RFWIN32.dll of
// the search (library_search.h) that loads, and what was passed over on
// the way.
#ifndef TARVEK_BINDING_LIBRARY_LOADER_H_
#define TARVEK_BINDING_LIBRARY_LOADER_H_

#include "binding/bind_failure.h"

namespace tarvek {

/// Takes the relative and empty entries out of the process's PATH for the
/// rest of the run, then loads the first RFWIN32.dll of the search that
/// loads, by its full path, its own dependencies from its folder and never
/// from the current one. A file that is an image for another machine is
/// passed over, as Windows' own search passes it over; any other failure
/// ends the search, and a folder whose RFWIN32.dll would have a path too
/// long for Windows to load is not looked in. Returns the module (an
/// HMODULE), with `failure->folder` its folder; or null, with `*failure`
/// telling why (kNotFound, kCantLoad, kNotUsable, kDependency). The texts
/// `*failure` points to stay while the run lasts. Once per run.
void* loadClientLibrary(BindFailure<wchar_t>* failure);

}  // namespace tarvek

#endif  // TARVEK_BINDING_LIBRARY_LOADER_H_
