// Binding the client library, the part that is plain logic over texts and
// numbers (no system calls, the same on every platform): where tarvek.exe
// looks for the library, under which export names it takes each function,
// and in which calling convention it hands the library the sort comparator.
#ifndef TARVEK_SERVER_LIBRARY_SEARCH_H_
#define TARVEK_SERVER_LIBRARY_SEARCH_H_

#include <stddef.h>
#include <stdint.h>

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
template <typename Char>
bool isAbsoluteFolder(const Char* text, size_t length);

/// `pathText` without its empty and relative entries: the absolute ones
/// (isAbsoluteFolder, double quotes aside) as they stand, in their order,
/// joined by ';', into `out`, which has room for the whole of `pathText`.
template <typename Char>
void absolutePathEntries(const Char* pathText, Char* out);

/// The folders searched for the client library, in order: the program's
/// folder, the system folder, then each absolute folder of the PATH text
/// (double quotes removed; empty and relative entries skipped). Each folder
/// comes once: folders are compared without regard to the case of A-Z, to
/// trailing separators and to '/' against '\'. Folders come with '\' as
/// their separator. `Char` is char, or wchar_t for the system's UTF-16
/// texts.
template <typename Char>
class LibrarySearch {
 public:
  LibrarySearch(const Char* programFolder, const Char* systemFolder,
                const Char* pathText);

  /// Writes the next folder into `folder` (`room` characters, terminated);
  /// false when there is none left. A folder that doesn't fit is skipped.
  bool next(Char* folder, size_t room);

 private:
  bool seenBefore(const Char* text, size_t length, const Char* entry) const;

  const Char* programFolder_;
  const Char* systemFolder_;
  const Char* pathStart_;
  const Char* path_;
  int fixedDone_ = 0;
};

/// How the library calls the sort comparator it is handed (32-bit Windows;
/// elsewhere there is one convention).
enum class CallbackConvention { kUnknown, kCdecl, kStdcall };

/// The convention of a library's functions, told by one call with
/// `argumentBytes` (more than 0) of arguments after which `bytesLeft` of
/// them were still on the stack: a stdcall function pops them all, a cdecl
/// one none. kUnknown for anything else.
CallbackConvention conventionFromStack(uint32_t argumentBytes,
                                       uint32_t bytesLeft);

/// The environment variable that sets the comparator's convention for a
/// library whose functions and callbacks differ.
constexpr char kSortCallbackVariable[] = "TARVEK_SORT_CALLBACK";

/// Reads the variable's value: "cdecl" or "stdcall" (letters in any case,
/// blanks around it ignored) set that convention; null, empty or blank
/// leave it kUnknown (the library's own functions decide). False for any
/// other text.
bool parseCallbackConvention(const char* text, CallbackConvention* convention);

/// The convention the comparator is handed in: the variable's, else the
/// library's functions', else cdecl (the C runtime's qsort).
CallbackConvention comparatorConvention(CallbackConvention variable,
                                        CallbackConvention library);

/// "cdecl" or "stdcall" (kUnknown: "cdecl").
const char* conventionName(CallbackConvention convention);

/// The convention to suggest after a sort that crashed in `convention`.
CallbackConvention otherConvention(CallbackConvention convention);

/// The system's text for a failure (`raw`, as the system formats it, line
/// end and all) into `text` (`room` bytes): without its trailing line end
/// and blanks, each "%1" in it (as in "%1 is not a valid Win32
/// application.") naming the library's file; "system error N" when the
/// system has no text for it.
void systemReasonText(const char* raw, unsigned long error, char* text,
                      size_t room);

/// Where the PE header of an image begins, read from the first `size` bytes
/// of its file (the DOS header: "MZ", the offset at 0x3C); 0 when they are
/// not such a header.
uint32_t peHeaderOffset(const unsigned char* head, size_t size);

/// The Machine field of a program image.
constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;

/// True when `header` (`size` bytes from the PE header's offset) is a PE
/// header ("PE\0\0") whose Machine field names one of Windows' machines
/// other than `ownMachine`: a sound DLL built for another machine, which the
/// search passes over as the system's own does.
bool isOtherMachineImage(const unsigned char* header, size_t size,
                         uint16_t ownMachine);

}  // namespace tarvek

#endif  // TARVEK_SERVER_LIBRARY_SEARCH_H_
