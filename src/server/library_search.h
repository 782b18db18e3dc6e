// Where tarvek.exe looks for the client library and under which export
// names it takes each function: plain logic over texts, no system calls, so
// that it is the same on every platform.
#ifndef TARVEK_SERVER_LIBRARY_SEARCH_H_
#define TARVEK_SERVER_LIBRARY_SEARCH_H_

#include <stddef.h>

namespace tarvek {

/// The client library's file name.
constexpr char kClientLibraryFile[] = "RFWIN32.dll";

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

/// True for an absolute Windows folder: a drive letter, a colon and a
/// separator ("C:\x", "c:/"), or a UNC path ("\\server\share").
bool isAbsoluteFolder(const char* text, size_t length);

/// The folders searched for the client library, in order: the program's
/// folder, the system folder, then each absolute folder of the PATH text
/// (double quotes removed; empty and relative entries skipped, and those
/// naming one of the first two folders again).
class LibrarySearch {
 public:
  LibrarySearch(const char* programFolder, const char* systemFolder,
                const char* pathText);

  /// Writes the next folder into `folder` (`room` bytes, terminated);
  /// false when there is none left. A folder that doesn't fit is skipped.
  bool next(char* folder, size_t room);

 private:
  bool sameAsFixed(const char* text, size_t length) const;

  const char* programFolder_;
  const char* systemFolder_;
  const char* path_;
  int fixedDone_ = 0;
};

}  // namespace tarvek

#endif  // TARVEK_SERVER_LIBRARY_SEARCH_H_
