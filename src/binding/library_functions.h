// The client library's 13 functions as tarvek.exe takes them from the DLL:
// their names, the bytes of their arguments, and the export names tried
// for each.
#ifndef TARVEK_BINDING_LIBRARY_FUNCTIONS_H_
#define TARVEK_BINDING_LIBRARY_FUNCTIONS_H_

#include <stddef.h>

namespace tarvek {

/// One of the client library's 13 functions.
struct LibraryFunction {
  const char* name;
  /// Bytes of its arguments on 32-bit Windows: the N of "@N".
  int argumentBytes;
  /// False only for RFaxLoadUser3, which the listing never calls.
  bool required;
};

/// Indexes into kLibraryFunctions.
enum LibraryFunctionIndex {
  kGetAPIVersion,
  kCreateServerHandle,
  kVersionCheck,
  kGetServerInfo2,
  kStringRFaxErr,
  kCloseServerHandle,
  kGetUserList,
  kListSort,
  kListGetFirstElementPtr,
  kListGetNextElementPtr,
  kCloseListHandle,
  kLoadUser,
  kLoadUser3,
  kLibraryFunctionCount
};

extern const LibraryFunction kLibraryFunctions[kLibraryFunctionCount];

/// Export names tried for a function, in this order: "Name", "_Name@N",
/// "Name@N", "_Name".
constexpr int kExportNameForms = 4;

/// Writes export name `form` (0 to kExportNameForms - 1) of `function` into
/// `name` (`room` bytes, terminated); false when it doesn't fit.
bool exportName(const LibraryFunction& function, int form, char* name,
                size_t room);

}  // namespace tarvek

#endif  // TARVEK_BINDING_LIBRARY_FUNCTIONS_H_
